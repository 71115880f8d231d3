#include "app/program.h"

int main() { return app::run_program(ui::default_backend(), platform::native_platform()); }
