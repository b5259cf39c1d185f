#pragma once

class QIcon;

// What every window of the program shares on the desktop: the program's own icon on every
// window and child window, and Enter on a focused button clicking it, as Space does. Applied
// once per process as soon as the application object exists (see FormUtil.cpp).
void ApplyDesktopConventions();

// The program's icon (the packaged one).
QIcon ProgramIcon();
