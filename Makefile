# The suite's commands. `make test` and `make run` do all the set-up on a fresh Debian 12
# machine: they install what is missing, configure, build and then test or run.

JOBS ?= 2
BUILD ?= build
FUZZ_SECONDS ?= 20
SOAK_MINUTES ?= 10
CMAKE_FLAGS ?=

PACKAGE_BUILD ?= build-package

.PHONY: all deps configure build test run install package manual-screenshots bench fuzz soak sanitize tsan format tidy clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@bash scripts/configure.sh . $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

run: build
	@IRSIM_ARGS="$(IRSIM_ARGS)" bash scripts/run.sh $(BUILD)

# Installs under the configured prefix (default /usr/local; choose another with
# CMAKE_FLAGS=-DCMAKE_INSTALL_PREFIX=...), into DESTDIR when it is set.
install: build
	@cmake --install $(BUILD)

# The Debian package irdex_<version>_amd64.deb, built in its own folder with the prefix /usr
# (the library's data folder is compiled in), and copied here.
package: deps
	@bash scripts/configure.sh . $(PACKAGE_BUILD) -DCMAKE_INSTALL_PREFIX=/usr -DIRDEX_BUILD_TESTS=OFF >/dev/null
	@cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	@cd $(PACKAGE_BUILD) && cpack -G DEB
	@cp $(PACKAGE_BUILD)/irdex_*_amd64.deb .
	@ls irdex_*_amd64.deb

# The screenshots of the HTML manual, taken again from the programs under Xvfb.
manual-screenshots: build
	@bash scripts/manual-screenshots.sh $(BUILD)

bench: deps
	@bash scripts/configure.sh . build-bench -DCMAKE_BUILD_TYPE=Release -DIRDEX_BUILD_TESTS=OFF >/dev/null
	@cmake --build build-bench -j $(JOBS)
	@bash scripts/bench.sh build-bench

# Each libFuzzer target for a short, bounded time (FUZZ_SECONDS each), from the seeds in
# fuzz/corpus/; prints every target's inputs per second and fails on a crash, leak or timeout.
fuzz: deps
	@CC=clang CXX=clang++ bash scripts/configure.sh . build-fuzz -DIRDEX_FUZZ=ON -DIRDEX_BUILD_TESTS=OFF >/dev/null
	@cmake --build build-fuzz -j $(JOBS) --target fuzz_all
	@bash scripts/fuzz.sh build-fuzz $(FUZZ_SECONDS)

# The analyzer (offscreen) and `irdex record` for SOAK_MINUTES against simulators cycling
# through their faults; fails on a crash, a hang, memory growth above 5 % or a recording that
# does not play to its last frame. Talks only to a loopback address of its own.
soak: build
	@SOAK_MINUTES=$(SOAK_MINUTES) bash scripts/soak.sh $(BUILD)/bin

# The SDK's tests under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	@bash scripts/configure.sh . build-asan -DIRDEX_SANITIZE=address -DIRDEX_SDK_ONLY=ON >/dev/null
	@cmake --build build-asan -j $(JOBS)
	@cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS) -L sdk

# The SDK's tests and the analyzer's core tests (acquisition, measurement pass, recording,
# alarms: the threaded parts) under ThreadSanitizer. Only those test programs are built, not
# the programs and their widget tests; a test whose program was not built carries no label.
# Discovered GoogleTest cases keep only the first of their labels ("analyzer", not "core"),
# hence the analyzer's tests are chosen as "analyzer" without "ui". The analyzer's tests run
# one at a time: its live end-to-end cases stream from the simulator against a time bound
# that two TSan processes on a small machine can miss.
TSAN_TARGETS = cmake --build build-tsan --target help | \
	sed -nE 's/^(\.\.\. )?((irdex|solvane)_[a-z0-9_]+_tests|measure_geometry_[a-z0-9_]+|irdex_c_header_check)(:.*)?$$/\2/p' | \
	grep -v '_ui_tests$$' | sort -u
TSAN_RUN = TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" ctest --output-on-failure
tsan: deps
	@bash scripts/configure.sh . build-tsan -DIRDEX_SANITIZE=thread -DIRDEX_SDK_ONLY=OFF >/dev/null
	@cmake --build build-tsan -j $(JOBS) --target $$($(TSAN_TARGETS))
	@cd build-tsan && $(TSAN_RUN) -j $(JOBS) -L sdk
	@cd build-tsan && $(TSAN_RUN) -j 1 -L analyzer -LE ui

format:
	@git ls-files '*.cpp' '*.h' '*.c' | xargs clang-format -i

# Our code in every folder (not the fuzz targets' clang-only flags); files the build does not
# compile (a program not built yet) are left to the build that has them.
tidy: configure
	@git ls-files 'sdk/src/*.cpp' 'analyzer/*.cpp' 'common/*.cpp' 'controller/*.cpp' \
	    'report/*.cpp' 'tools/*.cpp' 'bench/*.cpp' \
	  | bash scripts/tidy-files.sh $(BUILD) $(JOBS)

clean:
	@rm -rf build build-bench build-fuzz build-asan build-tsan $(PACKAGE_BUILD)
