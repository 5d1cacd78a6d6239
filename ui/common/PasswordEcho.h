#pragma once

class QLineEdit;

namespace RDP_basUI {

// Makes `box` a password box that echoes "*" for each character, whatever the style's own
// echo character (Fusion's is "●").
void EchoStars(QLineEdit* box);

} // namespace RDP_basUI
