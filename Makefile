# Set-up commands for a fresh Debian 12 machine (run as root):
#   make demo   converts the bundled sample archives and shows what the handheld gets
#   make test   builds and runs every test, normally and under ASan+UBSan, then runs
#               every fuzz target briefly over its seed corpus (scripts/fuzz runs them longer)
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 30
JOBS ?= $(shell nproc)

.PHONY: all deps build demo test test-normal test-asan test-fuzz clean

all: build

deps:
	./scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -G Ninja
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	./scripts/demo $(BUILD)

test: test-normal test-asan test-fuzz

test-normal: deps
	cmake -S . -B $(BUILD) -G Ninja -DKELVANE_WERROR=ON
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DKELVANE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DKELVANE_WERROR=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The libFuzzer targets, built by clang with ASan and UBSan in their own folder; a crash,
# leak, timeout or broken check in FUZZ_SECONDS per target fails the run.
test-fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DKELVANE_FUZZ=ON -DKELVANE_TESTS=OFF -DKELVANE_BENCH=OFF \
	  -DKELVANE_DESKTOP=OFF -DKELVANE_WERROR=ON -DCMAKE_CXX_COMPILER=clang++-14
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	./scripts/fuzz --build $(FUZZ_BUILD) --seconds $(FUZZ_SECONDS) --jobs $(JOBS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
