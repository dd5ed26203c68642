// Start-up: the main window is the start-up object; the platform runs its
// message loop until the main window has been unloaded.

#include <clocale>

#include "kq/platform/native.hpp"
#include "kq/settings/native.hpp"
#include "kq/ui/main_window.hpp"

int main() {
  // Stored placements typed by hand may use the user's decimal separator; the
  // engine and everything the program writes use "." whatever the locale.
  std::setlocale(LC_NUMERIC, "");
  auto platform = kq::platform::open_native_platform();
  auto store = kq::settings::open_native_store();
  kq::ui::MainWindow main_window(*platform, *store);
  main_window.show();
  platform->run(main_window);
  return 0;
}
