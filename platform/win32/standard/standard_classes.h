#pragma once
// Registers the standard window classes (Button, Static, Edit, ListBox,
// ComboBox) and the dialog class once per process; the window layer calls it
// before it looks a class up.

namespace qv::win32 {

void RegisterStandardClasses();

}  // namespace qv::win32
