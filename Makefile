# The two everyday commands: `make demo` and `make test`.
BUILD ?= build
ASAN_BUILD ?= build-asan
SCALE_BUILD ?= build-release
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all build demo test test-asan fuzz bench scale install clean

all: build

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# Runs the program's batch of lists on the bundled example printouts, then
# kinroll-changes on the directory and next month's, in a scratch copy of
# examples/ so the repository stays clean.
demo: build
	./examples/run-demo $(BUILD)/kinroll

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The same tests under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKINROLL_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

# Builds every fuzz target with clang's libFuzzer and runs each in turn for
# FUZZ_SECONDS seconds (see fuzz/run); the regression corpus they feed is
# replayed by `make test` and `make test-asan`.
fuzz:
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DKINROLL_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets
	fuzz/run $(FUZZ_BUILD) $(FUZZ_SECONDS)

bench:
	cmake -S . -B $(BUILD) -DKINROLL_BENCH=ON
	cmake --build $(BUILD) -j $(JOBS)
	for b in $(BUILD)/bench/bench_*; do $$b; done

# Installs the program and its manual page under PREFIX (default /usr/local).
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# Times the batch run on generated printouts of 600, 6000 and 60000 households
# (SCALE_SIZES overrides) against the I/O floor; see bench/README.md.
scale:
	cmake -S . -B $(SCALE_BUILD) -DCMAKE_BUILD_TYPE=Release -DKINROLL_BENCH=ON
	cmake --build $(SCALE_BUILD) -j $(JOBS) --target kinroll kinroll-gen
	bench/scale.sh $(SCALE_BUILD)/kinroll $(SCALE_BUILD)/bench/kinroll-gen

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(SCALE_BUILD) $(FUZZ_BUILD)
