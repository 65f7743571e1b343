# Short commands around CMake: `make` builds everything into build/, `make test` builds
# warning-free (Linux and Windows) and runs the whole suite, Wine tests included, `make
# windows` cross-builds ordexa.dll into build-windows/, `make demo` writes the sample
# payment files, `make sanitize` runs the suite again under AddressSanitizer and UBSan
# (clang), and `make fuzz-smoke` / `make fuzz` run the libFuzzer harnesses briefly / for longer.

BUILD     ?= build
WINDOWS_BUILD ?= build-windows
JOBS      ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_ARGS ?=

# Sanitizer findings end the program with a failure; leak checking is on.
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1 \
                UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
FUZZ_RUNS    ?= 5000
FUZZ_SECONDS ?= 60

.PHONY: all build deps configure test demo bench clean windows sanitize fuzz-build fuzz-smoke fuzz mutate count

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

# Only what the demo needs, its build lines in a log file: the demo's own lines stand out.
demo:
	@mkdir -p $(BUILD)
	@echo "make demo: building payfile (build log: $(BUILD)/demo-build.log)"
	@{ scripts/install-deps.sh && \
	   cmake -S . -B $(BUILD) -DORDEXA_WERROR=ON -DORDEXA_WINDOWS_DIR=$(abspath $(WINDOWS_BUILD)) $(CMAKE_ARGS) && \
	   cmake --build $(BUILD) -j $(JOBS) --target payfile; } > $(BUILD)/demo-build.log 2>&1 || \
	 { tail -n 30 $(BUILD)/demo-build.log; echo "make demo: the build failed; see $(BUILD)/demo-build.log"; exit 1; }
	@$(BUILD)/bin/payfile demo

bench: deps
	cmake -S . -B $(BUILD)-bench -DCMAKE_BUILD_TYPE=Release -DORDEXA_BENCH=ON -DORDEXA_TESTS=OFF -DORDEXA_WERROR=OFF
	cmake --build $(BUILD)-bench -j $(JOBS) --target ordexa_bench payfile ordexa_write_floor
	$(BUILD)-bench/bin/ordexa_bench $(BENCH_ARGS)
	bench/floor.sh $(BUILD)-bench $(FLOOR_SIZES)

# The suite a second time, built by clang with AddressSanitizer (leak checking included) and
# UBSan; tests that need Wine (label "wine") do not run here.
sanitize: deps
	cmake -S . -B $(BUILD)-sanitize -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DORDEXA_SANITIZE=ON -DORDEXA_WERROR=ON $(CMAKE_ARGS)
	cmake --build $(BUILD)-sanitize -j $(JOBS)
	cd $(BUILD)-sanitize && $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS) -LE wine

fuzz-build: deps
	cmake -S . -B $(BUILD)-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DORDEXA_FUZZ=ON -DORDEXA_TESTS=OFF -DORDEXA_WERROR=ON $(CMAKE_ARGS)
	cmake --build $(BUILD)-fuzz -j $(JOBS)

# A short pass for CI: every harness over its seed corpus plus a fixed number of runs.
fuzz-smoke: fuzz-build
	$(SANITIZER_ENV) tests/fuzz/run-fuzzers.sh $(BUILD)-fuzz runs $(FUZZ_RUNS)

# A longer pass: FUZZ_SECONDS per harness.
fuzz: fuzz-build
	$(SANITIZER_ENV) tests/fuzz/run-fuzzers.sh $(BUILD)-fuzz seconds $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(BUILD)-bench $(BUILD)-sanitize $(BUILD)-fuzz $(WINDOWS_BUILD)

# Plants the faults of scripts/mutations.txt one at a time and reports those the suite
# (Wine tests aside) does not notice; long, so not part of CI.
mutate: deps
	scripts/mutate.py --build $(BUILD)-mutate

# Non-blank lines of tests against the rest of the C++ (bench/ aside).
count:
	@scripts/count-lines.sh
