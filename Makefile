# The two commands a newcomer runs: `make demo` and `make test`.
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build test demo clean format

all: build

deps:
	@scripts/check-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

demo: build
	@$(BUILD)/morvane demo --out demo-out

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h' '*.c' | grep -v '^sdk/')

clean:
	rm -rf $(BUILD)
