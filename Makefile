# Convenience entry points; CMake does the building.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all build test demo bench clean

all: build

build:
	@tools/install_deps.sh build
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

test:
	@tools/install_deps.sh test
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

demo: build
	@tools/demo.sh $(BUILD)

bench: build
	@tools/install_deps.sh bench
	@bench/run.sh $(BUILD)

clean:
	rm -rf $(BUILD)
