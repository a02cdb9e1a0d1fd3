# The two set-up commands of the README:
#   make run    build (installing what is missing) and start the game
#   make test   build (installing what is missing) and run every test
# Both are incremental: a second run only rebuilds what changed.

BUILD_DIR   ?= build
ASAN_DIR    ?= build-asan
RELEASE_DIR ?= build-release
GENERATOR   ?= Ninja
JOBS        ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: run test build deps configure asan release clean bench

# Configures folder $(1) once with options $(2), warnings as errors as in every developer
# build; a folder configured before warnings were errors gets that option added.
define configure_dev
	@if [ ! -f $(1)/CMakeCache.txt ]; then \
		cmake -S . -B $(1) -G $(GENERATOR) $(2) -DTARNWAKE_WERROR=ON; \
	elif ! grep -q '^TARNWAKE_WERROR:BOOL=ON$$' $(1)/CMakeCache.txt; then \
		cmake -S . -B $(1) -DTARNWAKE_WERROR=ON; \
	fi
endef

# Builds only the two programs it may start, not the tests and benchmarks.
run: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target tarnwake tarnwake-cli
	@scripts/run.sh $(BUILD_DIR) $(ARGS)

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

configure: deps
	$(call configure_dev,$(BUILD_DIR),-DCMAKE_BUILD_TYPE=RelWithDebInfo)

deps:
	@scripts/deps.sh

# The core tests once more under AddressSanitizer and UndefinedBehaviorSanitizer.
asan: deps
	$(call configure_dev,$(ASAN_DIR),-DCMAKE_BUILD_TYPE=Debug -DTARNWAKE_SANITIZE=ON \
		-DTARNWAKE_BUILD_UI=OFF -DTARNWAKE_BUILD_BENCH=OFF)
	cmake --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && ctest --output-on-failure -j $(JOBS) -L core

# A packager's build (optimised, the game alone: no tests, no benchmarks), with warnings as
# errors since the optimiser warns of things the other builds do not see; then the optimised
# runner loads the shipped data.
release: deps
	$(call configure_dev,$(RELEASE_DIR),-DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
		-DTARNWAKE_BUILD_BENCH=OFF)
	cmake --build $(RELEASE_DIR) -j $(JOBS)
	$(RELEASE_DIR)/tarnwake-cli check-data

bench: build
	@for b in $(BUILD_DIR)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done; true

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(RELEASE_DIR)
