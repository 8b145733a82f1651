# make demo: program the built-in simulated target. make test: the test suite.
# make gui-walk: a day's work in the program with mouse and keyboard, screenshots in build/release/gui-walk.
JOBS ?= $(shell nproc)
DEBUG_DIR := build/debug
TSAN_DIR := build/tsan
RELEASE_DIR := build/release
CONFIGURE_RELEASE := cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps test tsan release demo gui-walk bench clean

all: test

deps:
	@bash tools/scripts/install-deps.sh

test: deps
	cmake -S . -B $(DEBUG_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=address,undefined
	cmake --build $(DEBUG_DIR) -j $(JOBS)
	cd $(DEBUG_DIR) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
	  UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS) --timeout 300

tsan: deps
	cmake -S . -B $(TSAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=thread
	cmake --build $(TSAN_DIR) -j $(JOBS)
	cd $(TSAN_DIR) && QT_QPA_PLATFORM=offscreen \
	  TSAN_OPTIONS=halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS) -L tsan --no-tests=error --timeout 300

release: deps
	$(CONFIGURE_RELEASE)
	cmake --build $(RELEASE_DIR) -j $(JOBS)

# demo and gui-walk build only the two programs they run.
demo: deps
	$(CONFIGURE_RELEASE)
	cmake --build $(RELEASE_DIR) -j $(JOBS) --target taravik isp-sim
	bash tools/scripts/demo.sh $(RELEASE_DIR)

gui-walk: deps
	$(CONFIGURE_RELEASE)
	cmake --build $(RELEASE_DIR) -j $(JOBS) --target taravik isp-sim
	bash tools/scripts/gui-walk.sh $(RELEASE_DIR)

# Runs every benchmark, and fails when one of them did.
bench: release
	@status=0; for b in $(RELEASE_DIR)/bench/*/bench_*; do \
	  echo "== $$b"; "$$b" || { echo "== $$b failed (status $$?)"; status=1; }; \
	done; exit $$status

clean:
	rm -rf build
