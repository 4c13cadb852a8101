// quillbox for the Windows desktop: one window, nothing to install.
#include <windows.h>

#include "ui/win32/Form1.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  quillbox::win32::Form1 form(instance);
  return form.Run(showCommand);
}
