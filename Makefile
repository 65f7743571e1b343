# Short commands around CMake: `make` builds everything into build/, `make test` builds
# warning-free and runs the whole suite, `make demo` writes the sample payment files.

BUILD     ?= build
JOBS      ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_ARGS ?=

.PHONY: all build deps configure test demo bench clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DORDEXA_WERROR=ON $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

demo: build
	$(BUILD)/bin/payfile demo

bench: deps
	cmake -S . -B $(BUILD)-bench -DCMAKE_BUILD_TYPE=Release -DORDEXA_BENCH=ON -DORDEXA_TESTS=OFF
	cmake --build $(BUILD)-bench -j $(JOBS) --target ordexa_bench payfile
	$(BUILD)-bench/bin/ordexa_bench $(BENCH_ARGS)

clean:
	rm -rf $(BUILD) $(BUILD)-bench
