# Convenience entry points; CMake does the building.
# The builds that CMake runs inside this make need not name their folder.
MAKEFLAGS += --no-print-directory
BUILD ?= build
WIN32_BUILD ?= build-win32
WIN64_BUILD ?= build-win64
JOBS ?= $(shell nproc)
WIN32_CONFIGURE = cmake -S . -B $(WIN32_BUILD) -DCMAKE_BUILD_TYPE=MinSizeRel \
                  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-mingw-i686.cmake
WIN64_CONFIGURE = cmake -S . -B $(WIN64_BUILD) -DCMAKE_BUILD_TYPE=MinSizeRel \
                  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-mingw-x86_64.cmake

.PHONY: all build win32 win64 medium test test-asan demo bench clean

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

# The same program for 64-bit Windows: $(WIN64_BUILD)/cdstart.exe, tested
# under 64-bit Wine where 32-bit programs cannot run.
win64:
	@tools/install_deps.sh win32
	@$(WIN64_CONFIGURE) >/dev/null
	@cmake --build $(WIN64_BUILD) -j $(JOBS)

# The medium of a product: make medium FROM=<product folder> LABEL=<volume label>
# writes $(BUILD)/medium/ (the tree, also for a USB stick) and $(BUILD)/medium.iso
# with both programs; tools/make_medium.sh does it, and says what it refuses.
FROM ?= sample_product
LABEL ?= TARVOLIN
shell_quote = '$(subst ','\'',$(1))'
medium: build win32
	@tools/install_deps.sh medium
	@tools/make_medium.sh --windows $(WIN32_BUILD)/cdstart.exe --linux $(BUILD)/cdstart \
	  --label $(call shell_quote,$(LABEL)) --tree $(BUILD)/medium --image $(BUILD)/medium.iso \
	  -- $(call shell_quote,$(FROM))

# Linux tests, then the Windows ones under Wine; every build comes first, so
# that the output ends with each suite's summary. The Windows tests run on
# each build that a Wine here can run (tools/windows_tests.sh says which);
# without any working Wine they are reported as skipped, never as passed.
test:
	@tools/install_deps.sh test
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)
	@$(WIN32_CONFIGURE) >/dev/null
	@cmake --build $(WIN32_BUILD) -j $(JOBS)
	@$(WIN64_CONFIGURE) >/dev/null
	@cmake --build $(WIN64_BUILD) -j $(JOBS)
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	@JOBS=$(JOBS) tools/windows_tests.sh $(WIN32_BUILD) $(WIN64_BUILD)

# Every Linux test once more, on a build with AddressSanitizer and
# UndefinedBehaviorSanitizer; any report fails the run.
test-asan:
	@tools/install_deps.sh test
	@cmake -S . -B $(BUILD)-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCDSTART_SANITIZE=ON >/dev/null
	@cmake --build $(BUILD)-asan -j $(JOBS)
	@cd $(BUILD)-asan && \
	  ASAN_OPTIONS=halt_on_error=1:abort_on_error=0:detect_leaks=1:exitcode=99 \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:exitcode=98 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizer.supp:print_suppressions=0 \
	  ctest --output-on-failure -j $(JOBS)

demo: build
	@tools/demo.sh $(BUILD)

bench: build
	@tools/install_deps.sh bench
	@bench/run.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(BUILD)-asan $(WIN32_BUILD) $(WIN64_BUILD)
