#pragma once

#include <QPixmap>
#include <QSize>

class QPainter;
class QRect;

// The login window's artwork, drawn at run time so that it is sharp at any size.
namespace LoginArtwork {

// The window's background: a calm gradient with a light frame.
void PaintBackground(QPainter& painter, const QRect& area);

// The title strip behind "连接登录" and the subtitle.
QPixmap TitleStrip(QSize size, qreal devicePixelRatio);

// The close mark at the right end of the title strip.
QPixmap CloseMark(QSize size, qreal devicePixelRatio);

} // namespace LoginArtwork
