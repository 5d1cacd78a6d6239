#pragma once

#include <QStringList>

class QComboBox;

// The fixed option lists of the setup window. The code stored in a profile is the entry's
// 0-based place in its list.
namespace SetupOptionLists {

QStringList DesktopSizeEntries();
QStringList ColorDepthEntries();
QStringList AudioModeEntries();

// Empties the list and appends the entries in code order.
void Fill(QComboBox* list, const QStringList& entries);

// Selects the entry whose place is the stored code, rounded to the nearest whole number
// (halves to even). A code outside the list selects no entry.
void SelectCode(QComboBox* list, float code);

// The code of the selected entry; the stored code when no entry is selected, so that a code
// the list does not offer survives a save.
float CodeOf(const QComboBox* list, float stored);

} // namespace SetupOptionLists
