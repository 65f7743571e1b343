# Short commands around CMake: `make` builds everything into build/, `make test` builds
# warning-free (Linux and Windows) and runs the whole suite, Wine tests included, `make
# windows` cross-builds ordexa.dll into build-windows/, `make demo` writes the sample
# payment files.

BUILD     ?= build
WINDOWS_BUILD ?= build-windows
JOBS      ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_ARGS ?=

.PHONY: all build deps configure test demo bench clean windows

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DORDEXA_WERROR=ON -DORDEXA_WINDOWS_DIR=$(abspath $(WINDOWS_BUILD)) $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build windows
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

windows: deps
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DORDEXA_WERROR=ON
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)

demo: build
	$(BUILD)/bin/payfile demo

bench: deps
	cmake -S . -B $(BUILD)-bench -DCMAKE_BUILD_TYPE=Release -DORDEXA_BENCH=ON -DORDEXA_TESTS=OFF -DORDEXA_WERROR=OFF
	cmake --build $(BUILD)-bench -j $(JOBS) --target ordexa_bench payfile
	$(BUILD)-bench/bin/ordexa_bench $(BENCH_ARGS)

clean:
	rm -rf $(BUILD) $(BUILD)-bench $(WINDOWS_BUILD)
