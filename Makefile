# Set-up commands for a fresh Debian 12 machine (run as root):
#   make demo     converts the bundled sample archives and shows what the handheld gets
#   make test     builds and runs every test, normally and under ASan+UBSan, runs every
#                 fuzz target briefly over its seed corpus (scripts/fuzz runs them longer),
#                 then makes the Debian package and checks it
#   make package  makes the Debian package, $(PACKAGE_BUILD)/kelvane_<version>_<arch>.deb
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
PACKAGE_BUILD ?= build-package
FUZZ_SECONDS ?= 30
JOBS ?= $(shell nproc)

.PHONY: all deps package-deps test-deps build demo package test test-normal test-asan \
  test-fuzz test-package clean

all: build

deps:
	./scripts/install-deps

package-deps:
	./scripts/install-deps --package

test-deps:
	./scripts/install-deps --tests

# The programs alone: no test suites, so neither GoogleTest nor clang is needed.
build: deps
	cmake -S . -B $(BUILD) -G Ninja -DKELVANE_TESTS=OFF -DKELVANE_BENCH=OFF
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	./scripts/demo $(BUILD)

# A Release build with the default options, as a packager makes it, in a folder of its own.
package: package-deps
	cmake -S . -B $(PACKAGE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVANE_TESTS=OFF \
	  -DKELVANE_BENCH=OFF
	cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	rm -f $(PACKAGE_BUILD)/kelvane_*.deb
	cd $(PACKAGE_BUILD) && cpack -G DEB

test: test-normal test-asan test-fuzz test-package

test-normal: test-deps
	cmake -S . -B $(BUILD) -G Ninja -DKELVANE_TESTS=ON -DKELVANE_BENCH=ON -DKELVANE_WERROR=ON
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-asan: test-deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DKELVANE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DKELVANE_WERROR=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The libFuzzer targets, built by clang with ASan and UBSan in their own folder; a crash,
# leak, timeout or broken check in FUZZ_SECONDS per target fails the run.
test-fuzz: test-deps
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DKELVANE_FUZZ=ON -DKELVANE_TESTS=OFF -DKELVANE_BENCH=OFF \
	  -DKELVANE_DESKTOP=OFF -DKELVANE_WERROR=ON -DCMAKE_CXX_COMPILER=clang++-14
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	./scripts/fuzz --build $(FUZZ_BUILD) --seconds $(FUZZ_SECONDS) --jobs $(JOBS)

test-package: test-deps package
	./scripts/check-package $(PACKAGE_BUILD)/kelvane_*.deb

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(PACKAGE_BUILD)
