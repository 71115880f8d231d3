#include "app/program.h"

#include <cstdio>

#include "app/about_box.h"
#include "app/exit_code.h"
#include "app/main_form.h"
#include "ui/application.h"

namespace app {

int run_program(ui::Backend& backend, platform::Platform& platform) {
  try {
    ui::Application application(backend);
    application.set_title("QUENDAL");
    TForm1& main_form = application.create_form<TForm1>(platform);
    main_form.attach_about_box(application.create_form<TAbout>());
    application.run();
    return main_form.exit_code();
  } catch (const ui::DisplayUnavailable& error) {
    std::fputs("cdstart: ", stderr);
    std::fputs(error.what(), stderr);
    std::fputc('\n', stderr);
    return kExitNoDisplay;
  }
}

}  // namespace app
