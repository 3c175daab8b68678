# Quick start: `make run` plays the demo game, `make test` runs every test.
# Both install any missing Debian packages first, then configure and build into build/.
# Without a display (neither DISPLAY nor WAYLAND_DISPLAY set) `make run` gives the tour instead: the game
# plays on a private virtual display, Escape is pressed for you, and screenshots and the sound are saved
# in build/tour/ (tools/tour.sh). `make tour` gives the tour anywhere.

BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
TSAN_BUILD ?= build-tsan
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
# The build's own progress lines are enough; make's "Entering directory" lines are noise.
MAKEFLAGS += --no-print-directory

.PHONY: all deps configure build media run tour test test-sanitize test-tsan lint bench fuzz install package docs clean

all: build

deps:
	@tools/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The game's pictures and music, drawn and composed by tools/media.
media: configure
	@cmake --build $(BUILD) -j $(JOBS) --target vanta_media
	@echo "The game's media are in $(BUILD)/media/; $(BUILD)/media/contact-sheet.png shows every picture."

# `make run` and `make tour` build only what they start: the game, and for the tour the screenshot tool.
# `make test` builds everything.
GAME_TARGETS = vantamax_game
TOUR_TARGETS = vantamax_game vanta-screenshot

run: configure
	@if [ -n "$${DISPLAY:-}$${WAYLAND_DISPLAY:-}" ]; then \
		cmake --build $(BUILD) -j $(JOBS) --target $(GAME_TARGETS) && \
		$(BUILD)/bin/vantamax; \
	else \
		cmake --build $(BUILD) -j $(JOBS) --target $(TOUR_TARGETS) && \
		echo "No display here: touring the game on a virtual one instead (see tools/tour.sh)." && \
		tools/tour.sh $(BUILD) $(BUILD)/tour; \
	fi

tour: configure
	@cmake --build $(BUILD) -j $(JOBS) --target $(TOUR_TARGETS)
	@tools/tour.sh $(BUILD) $(BUILD)/tour

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-sanitize: deps
	@cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVANTA_SANITIZE=ON -DVANTA_BENCH=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	@cd $(SANITIZE_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --output-on-failure -j $(JOBS)

test-tsan: deps
	@cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVANTA_TSAN=ON -DVANTA_BENCH=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(TSAN_BUILD) -j $(JOBS) --target tsan-tests
	@cd $(TSAN_BUILD) && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -j $(JOBS) -L tsan

# clang-tidy over the project's own sources (tools/lint.sh); the build first, for its generated headers.
lint: build
	@JOBS=$(JOBS) tools/lint.sh $(BUILD)

# Every benchmark runs even when one fails; the target fails when any did (or none was found).
bench: build
	@failed=""; ran=0; for b in $(BUILD)/bench/*_bench; do [ -x "$$b" ] || continue; \
		ran=$$((ran + 1)); "$$b" || failed="$$failed $${b##*/}"; done; \
	if [ "$$ran" -eq 0 ]; then echo "No benchmark found in $(BUILD)/bench/." >&2; exit 1; fi; \
	if [ -n "$$failed" ]; then echo "Benchmarks failed:$$failed" >&2; exit 1; fi

fuzz:
	@tools/install-deps.sh fuzz
	@fuzz/run.sh

# The SDK: `make install PREFIX=/opt/vantamax` (default /usr/local) installs the library, headers, CMake and
# pkg-config packages, tools, fonts and docs; `make package` makes build/package/vantamax-dev_*.deb;
# `make docs` writes the reference to build/docs/html/ (the guides are in docs/).
PREFIX ?= /usr/local

install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

package: build
	@cmake --build $(BUILD) --target package

docs: configure
	@cmake --build $(BUILD) --target docs
	@echo "The reference is $(BUILD)/docs/html/index.html; the guides are in docs/."

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(TSAN_BUILD)
