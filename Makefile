# Convenience entry points; CMake does the building.
BUILD ?= build
WIN32_BUILD ?= build-win32
JOBS ?= $(shell nproc)
WIN32_CONFIGURE = cmake -S . -B $(WIN32_BUILD) -DCMAKE_BUILD_TYPE=MinSizeRel \
                  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-mingw-i686.cmake

.PHONY: all build win32 test demo bench clean

all: build

build:
	@tools/install_deps.sh build
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

# The 32-bit Windows program, cross-built with MinGW-w64: $(WIN32_BUILD)/cdstart.exe
win32:
	@tools/install_deps.sh win32
	@$(WIN32_CONFIGURE) >/dev/null
	@cmake --build $(WIN32_BUILD) -j $(JOBS)

# Linux tests, then the Windows ones under Wine; both builds come first, so
# that the output ends with each suite's summary. Without a working Wine the
# Windows tests are reported as skipped, never as passed.
test:
	@tools/install_deps.sh test
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)
	@$(WIN32_CONFIGURE) >/dev/null
	@cmake --build $(WIN32_BUILD) -j $(JOBS)
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	@if reason=$$(tools/wine_run.sh --prefix $(WIN32_BUILD)/wine-prefix --check); then \
	  cd $(WIN32_BUILD) && ctest --output-on-failure -j $(JOBS); \
	else \
	  echo "SKIPPED: Windows tests (wine unavailable: $$reason)"; \
	fi

demo: build
	@tools/demo.sh $(BUILD)

bench: build
	@tools/install_deps.sh bench
	@bench/run.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(WIN32_BUILD)
