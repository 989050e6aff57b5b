# Lintel: two commands for a fresh Debian 12 machine.
#   make run    install what is missing, build, start Lintel under Wine
#   make test   install what is missing, build both architectures, run every test
#   make dist   the setup and a zip of the same files, in build/dist
BUILD ?= build
JOBS  ?= $(shell nproc)

.PHONY: all deps build build-i686 build-x86_64 run test bench dist screenshot clean

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

# The setup carries the 32-bit programs, their help and both shell extensions.
DIST_TARGETS = Lintel lintel_explorer_program lintel_wizard_program lintel_tips_program ltlext lintel_help
dist: deps $(BUILD)/i686/CMakeCache.txt $(BUILD)/x86_64/CMakeCache.txt
	cmake --build $(BUILD)/i686 -j$(JOBS) --target $(DIST_TARGETS)
	cmake --build $(BUILD)/x86_64 -j$(JOBS) --target ltlext
	bash scripts/make-dist.sh $(BUILD)

# The README's picture of real toolbars, taken under Wine.
screenshot: build-x86_64
	bash scripts/make-screenshot.sh $(BUILD)/x86_64 docs/screenshot.png

clean:
	rm -rf $(BUILD)
