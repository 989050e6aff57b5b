# Lintel: two commands for a fresh Debian 12 machine.
#   make run    install what is missing, build, start Lintel under Wine
#   make test   install what is missing, build both architectures, run every test
BUILD ?= build
JOBS  ?= $(shell nproc)

.PHONY: all deps build build-i686 build-x86_64 run test bench leaks clean

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD)/%/CMakeCache.txt:
	cmake -S . -B $(BUILD)/$* -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-$*.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo

build-i686: deps $(BUILD)/i686/CMakeCache.txt
	cmake --build $(BUILD)/i686 -j$(JOBS)

build-x86_64: deps $(BUILD)/x86_64/CMakeCache.txt
	cmake --build $(BUILD)/x86_64 -j$(JOBS)

build: build-i686 build-x86_64

run: build-i686
	bash scripts/run-lintel.sh $(BUILD)/i686

test: build
	bash scripts/run-tests.sh $(BUILD)/i686 $(BUILD)/x86_64

bench: build-i686
	bash scripts/run-bench.sh $(BUILD)/i686

# 1,000 cycles of a toolbar's use, printing the live handle counts (CYCLES=n for another number).
leaks: build-i686
	bash scripts/run-bench.sh $(BUILD)/i686 leaks $(or $(CYCLES),1000)

clean:
	rm -rf $(BUILD)
