// taravik: the program. With switches on the command line it runs one
// download job in the download dialog; without, it asks for the IC type and
// the interface and connects to the target.

#include "platform/win32/win_app.h"

int main(int argc, char** argv) { return AfxWinMain(argc, argv); }
