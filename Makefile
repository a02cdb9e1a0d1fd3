# The two set-up commands of the README:
#   make run    build (installing what is missing) and start the game
#   make test   build (installing what is missing) and run every test
# Both are incremental: a second run only rebuilds what changed.

BUILD_DIR ?= build
ASAN_DIR  ?= build-asan
GENERATOR ?= Ninja
JOBS      ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: run test build deps configure asan clean bench

run: build
	@scripts/run.sh $(BUILD_DIR) $(ARGS)

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

configure: deps
	@if [ ! -f $(BUILD_DIR)/CMakeCache.txt ]; then \
		cmake -S . -B $(BUILD_DIR) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo; \
	fi

deps:
	@scripts/deps.sh

# The core tests once more under AddressSanitizer and UndefinedBehaviorSanitizer.
asan: deps
	@if [ ! -f $(ASAN_DIR)/CMakeCache.txt ]; then \
		cmake -S . -B $(ASAN_DIR) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug \
			-DTARNWAKE_SANITIZE=ON -DTARNWAKE_BUILD_UI=OFF -DTARNWAKE_BUILD_BENCH=OFF; \
	fi
	cmake --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && ctest --output-on-failure -j $(JOBS) -L core

bench: build
	@for b in $(BUILD_DIR)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done; true

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR)
