# The two everyday commands: `make demo` and `make test`.
BUILD ?= build
ASAN_BUILD ?= build-asan
SCALE_BUILD ?= build-release
INSTALL_BUILD ?= build-install
FUZZ_BUILD ?= build-fuzz
RELEASE_CHECK_BUILD ?= build-release-check
CLANG_CHECK_BUILD ?= build-clang-check
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all build programs demo test test-asan release-check clang-check fuzz bench scale \
        book-scale install-build install uninstall package clean

all: build

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# The programs alone, without the tests.
programs: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target programs

# Builds the programs the demo runs (no test, no kinroll-web) and runs the
# batch of lists on the bundled example printouts, kinroll-contacts,
# kinroll-book, then kinroll-changes on the directory and next month's, in a
# scratch copy of examples/ so the repository stays clean.
demo: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target demo_programs
	./examples/run-demo $(BUILD)/kinroll

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The same tests under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKINROLL_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

# A Release build of everything (programs, tests, benchmarks) in which any
# compiler warning is an error, and its tests.
release-check:
	cmake -S . -B $(RELEASE_CHECK_BUILD) -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS=-Werror -DKINROLL_BENCH=ON
	cmake --build $(RELEASE_CHECK_BUILD) -j $(JOBS)
	cd $(RELEASE_CHECK_BUILD) && ctest --output-on-failure -j $(JOBS)

# The programs and the fuzz targets built by clang++ (with libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer), warnings as errors, and
# the regression corpus replayed through every target.
clang-check:
	cmake -S . -B $(CLANG_CHECK_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_FLAGS=-Werror -DKINROLL_FUZZ=ON
	cmake --build $(CLANG_CHECK_BUILD) -j $(JOBS) --target programs fuzz_targets replay_targets
	cd $(CLANG_CHECK_BUILD) && ctest --output-on-failure -j $(JOBS) -R '^Regress\.'

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

# Installs the programs (a Release build of them alone, without the tests,
# stripped), their manual pages, the converters, the licence and the example
# ward under PREFIX (default /usr/local), below DESTDIR when it is set.
# uninstall removes what the last install put there, from the record that
# install keeps beside the converters (PREFIX/share/kinroll/, see
# packaging/install): it works after `make clean` too. CMAKE_OPTIONS passes
# more to cmake, such as -DKINROLL_WEB=ON to have the configure step stop
# when kinroll-web cannot be built.
PREFIX ?= /usr/local
CMAKE_OPTIONS ?=
install-build:
	cmake -S . -B $(INSTALL_BUILD) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF $(CMAKE_OPTIONS)
	cmake --build $(INSTALL_BUILD) -j $(JOBS) --target programs

install: install-build
	DESTDIR="$(DESTDIR)" packaging/install $(INSTALL_BUILD) $(PREFIX)

uninstall:
	DESTDIR="$(DESTDIR)" packaging/uninstall $(PREFIX)

# A Debian package of the same (kinroll_VERSION_ARCH.deb in this folder),
# the same bytes from every run on the same build.
package: install-build
	cd $(INSTALL_BUILD) && cpack -G DEB -B $(CURDIR)
	rm -rf _CPack_Packages

# Times the batch run on generated printouts of 600, 6000 and 60000 households
# (SCALE_SIZES overrides) against the I/O floor; see bench/README.md.
scale:
	cmake -S . -B $(SCALE_BUILD) -DCMAKE_BUILD_TYPE=Release -DKINROLL_BENCH=ON
	cmake --build $(SCALE_BUILD) -j $(JOBS) --target kinroll kinroll-gen
	bench/scale.sh $(SCALE_BUILD)/kinroll $(SCALE_BUILD)/bench/kinroll-gen

# Times kinroll-book on generated printouts of 600, 6000 and 60000 households
# (BOOK_SIZES overrides), page by page and as a booklet; see bench/README.md.
book-scale:
	cmake -S . -B $(SCALE_BUILD) -DCMAKE_BUILD_TYPE=Release -DKINROLL_BENCH=ON
	cmake --build $(SCALE_BUILD) -j $(JOBS) --target kinroll-book kinroll-gen
	bench/book.sh $(SCALE_BUILD)/kinroll-book $(SCALE_BUILD)/bench/kinroll-gen

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(SCALE_BUILD) $(FUZZ_BUILD) $(INSTALL_BUILD) \
	       $(RELEASE_CHECK_BUILD) $(CLANG_CHECK_BUILD)
