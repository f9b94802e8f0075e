# Quick start: `make test` builds everything and runs every test; `make demo` runs the
# program against the built-in controller stand-in.
BUILD   ?= build
JOBS    ?= 2
CMAKE_FLAGS ?=

.PHONY: all setup configure build test demo package clean

all: build

setup:
	@scripts/setup

configure: setup
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j$(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

demo: build
	scripts/demo $(BUILD)/bin

package: build
	cmake --build $(BUILD) --target package

clean:
	rm -rf $(BUILD)
