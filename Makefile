# SPDX-FileCopyrightText: The korvant developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Quick start: `make test` builds everything and runs every test; `make demo` runs the
# program against the built-in controller stand-in.
BUILD   ?= build
JOBS    ?= 2
CMAKE_FLAGS ?=

.PHONY: all setup configure build test demo package check-package bench fuzz clean

all: build

setup:
	@scripts/setup

configure: setup
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j$(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

# Only the two programs it runs, so the first window comes without building the tests.
demo: configure
	cmake --build $(BUILD) -j$(JOBS) --target korvant korvant-sim
	scripts/demo $(BUILD)/bin

package: build
	cmake --build $(BUILD) --target package

# The package through lintian, appstreamcli, desktop-file-validate and reuse lint.
check-package: build
	BUILD=$(BUILD) scripts/check-package

# Benchmarks as one table, also written to $(BUILD)/bench/results.json; SCALE=2 runs
# them at that screen scale.
bench: setup
	bench/run $(BUILD)

# Each fuzz target for FUZZ_SECONDS (clang, in build-fuzz/).
FUZZ_SECONDS ?= 60
fuzz: setup
	fuzz/run $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD)
