// A java.exe that does nothing: what remains of a run is the cost of starting it.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return 0; }
