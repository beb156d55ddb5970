# The two commands a newcomer runs: `make demo` and `make test`.
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

# `make fuzz`: the libFuzzer targets of tests/fuzz, built with clang in their
# own folder, each run for FUZZ_SECONDS.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?= obj lwo2 scene script plugin_io

# `make check-threads`: the suites that run threads (the deformer's, the
# displacement pass and the host's thread groups) built with ThreadSanitizer
# in their own folder and run with halt_on_error=1.
TSAN_BUILD ?= build-tsan
TSAN_TESTS ?= test_host_threads test_deform test_deform_cases test_displace

# `make windows`: the module for 64-bit Windows, cross-built with MinGW-w64 in
# its own folder, then checked as the host's loader sees it.
WIN_BUILD ?= build-windows
WIN_CMAKE = cmake -S . -B $(WIN_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DMORVANE_TESTS=OFF $(CMAKE_FLAGS)

.PHONY: all deps configure build test demo clean format fuzz check-threads windows check-windows

all: build

deps:
	@scripts/check-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The demo needs only the module and the program that loads it, not the
# test suites.
demo: configure
	@cmake --build $(BUILD) -j $(JOBS) --target morvane morvane_module
	@$(BUILD)/morvane demo --out demo-out
	@$(BUILD)/morvane run examples/sculpt.script >demo-out/sculpt.log
	@echo "sculpt: 5 pictures of the edit tool in demo-out/sculpt_*.png (log: demo-out/sculpt.log)"

fuzz:
	@MORVANE_FUZZ_DEPS=1 scripts/check-deps.sh
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DMORVANE_FUZZ=ON $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@scripts/run-fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

check-threads: deps
	@cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVANE_TSAN=ON \
	  $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(TSAN_BUILD) -j $(JOBS) --target $(TSAN_TESTS)
	@rm -rf $(TSAN_BUILD)/test-tmp && mkdir -p $(TSAN_BUILD)/test-tmp
	@for t in $(TSAN_TESTS); do \
	  echo "== $$t under ThreadSanitizer"; \
	  TMPDIR=$(abspath $(TSAN_BUILD))/test-tmp TSAN_OPTIONS="halt_on_error=1 $(TSAN_OPTIONS)" \
	    $(TSAN_BUILD)/tests/$$t --gtest_brief=1 || exit 1; \
	done

windows:
	@MORVANE_WINDOWS_DEPS=1 scripts/check-deps.sh
	@$(WIN_CMAKE) -DMORVANE_HOST=OFF >/dev/null
	@cmake --build $(WIN_BUILD) -j $(JOBS) --target morvane_module
	@tests/windows/check-dll.sh $(WIN_BUILD)/morvane.p
	@tests/windows/check_dll_test.sh .

# The Windows module and program under Wine beside the Linux build: the demo's
# OBJ files compared, and the command-line tests run with morvane.exe.
check-windows: configure
	@MORVANE_WINE_DEPS=1 scripts/check-deps.sh
	@$(WIN_CMAKE) -DMORVANE_HOST=ON >/dev/null
	@cmake --build $(WIN_BUILD) -j $(JOBS) --target morvane morvane_module
	@tests/windows/check-dll.sh $(WIN_BUILD)/morvane.p
	@cmake --build $(BUILD) -j $(JOBS) --target morvane morvane_module test_cli
	@tests/windows/check-windows.sh $(BUILD) $(WIN_BUILD)

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h' '*.c' | grep -v '^sdk/')

clean:
	rm -rf $(BUILD)
