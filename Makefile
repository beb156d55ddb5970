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

.PHONY: all deps configure build test demo clean format fuzz

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

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h' '*.c' | grep -v '^sdk/')

clean:
	rm -rf $(BUILD)
