# Set-up, build and test in two commands: `make run` and `make test`.
BUILD         ?= build
ASAN_BUILD    ?= build-asan
TSAN_BUILD    ?= build-tsan
PACKAGE_BUILD ?= build-package
# The fuzzers are linked from the sanitizer build's objects.
FUZZ_BUILD    ?= $(ASAN_BUILD)
# The seed corpus holds what earlier runs of a minute each found (merged: only inputs that add
# coverage), so a run starts where a minute from the hand-made seeds ended and explores from there.
FUZZ_SECONDS  ?= 30
JOBS          ?= $(shell nproc)
# CI turns warnings in our own code into errors in the gcc build, which compiles all of it (the
# sanitizer builds leave warnings as they are: they add the instrumenting compilers' own).
WERROR        ?= $(if $(filter true 1,$(CI)),ON,OFF)

# CI's gcc build writes no debug information (nothing there reads it) and compiles the tests' own
# code with -O1 (its warnings still see the data flow; the code under test keeps -O2); a build of
# yours keeps full debug information for profiling.
CI_FLAGS      := $(if $(filter true 1,$(CI)),-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG" -DVSR_TEST_CXX_FLAGS=-O1)

# Debian packages, by what needs them. A library the program links belongs in RUN_PACKAGES (lld links
# faster than the default linker; the build falls back to that one without it).
RUN_PACKAGES      := cmake ninja-build g++ lld qt6-base-dev libgl-dev libarchive-dev pkg-config libpoppler-cpp-dev \
                     libexpat1-dev
TEST_PACKAGES     := $(RUN_PACKAGES) libgtest-dev libgmock-dev libpcre2-dev python3 git mandoc desktop-file-utils appstream \
                     shared-mime-info patch
SANITIZE_PACKAGES := $(TEST_PACKAGES) clang libclang-rt-dev
SCREENSHOT_PACKAGES := $(RUN_PACKAGES) xvfb xauth x11-utils imagemagick
BENCH_PACKAGES    := $(TEST_PACKAGES) libbenchmark-dev
PACKAGE_PACKAGES  := $(RUN_PACKAGES) dpkg-dev file lintian appstream desktop-file-utils
CHECK_PACKAGES    := $(PACKAGE_PACKAGES) debootstrap
# Everything any target here may install.
PACKAGES := $(sort $(SANITIZE_PACKAGES) $(SCREENSHOT_PACKAGES) $(BENCH_PACKAGES) $(CHECK_PACKAGES))

SANITIZER_ENV := QT_QPA_PLATFORM=offscreen \
  ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=0:strict_string_checks=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/.ci/lsan.supp:print_suppressions=0
TSAN_ENV := TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$(CURDIR)/.ci/tsan.supp"

.PHONY: all deps deps-run deps-test deps-sanitize deps-screenshot deps-bench deps-package deps-check \
        configure configure-run configure-sanitize build run test test-sanitize test-tsan fuzz bench clean screenshot package package-check

all: build

# $(call install_missing,PACKAGES): installs what is missing (as root; otherwise prints the line).
define install_missing
@missing=""; for p in $(1); do \
  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
done; \
if [ -n "$$missing" ]; then \
  if [ "$$(id -u)" = 0 ]; then \
    echo "Installing:$$missing"; \
    DEBIAN_FRONTEND=noninteractive apt-get update -qq && \
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
  else \
    echo "Missing packages. Run:"; echo "  sudo apt-get install -y$$missing"; exit 1; \
  fi; \
fi
endef

deps: ; $(call install_missing,$(PACKAGES))
deps-run: ; $(call install_missing,$(RUN_PACKAGES))
deps-test: ; $(call install_missing,$(TEST_PACKAGES))
deps-sanitize: ; $(call install_missing,$(SANITIZE_PACKAGES))
deps-screenshot: ; $(call install_missing,$(SCREENSHOT_PACKAGES))
deps-bench: ; $(call install_missing,$(BENCH_PACKAGES))
deps-package: ; $(call install_missing,$(PACKAGE_PACKAGES))
deps-check: ; $(call install_missing,$(CHECK_PACKAGES))

# The program alone: the first configure of a build folder leaves the tests out until `make test`.
configure-run: deps-run
	@test -f $(BUILD)/build.ninja || \
	  cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVSR_BUILD_TESTS=OFF

configure: deps-test
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVSR_BUILD_TESTS=ON -DVSR_WERROR=$(WERROR) \
	      $(CI_FLAGS) >/dev/null

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: configure-run
	@if grep -q '^VSR_BUILD_UI:BOOL=OFF' $(BUILD)/CMakeCache.txt; then \
	  cmake --build $(BUILD) -j $(JOBS) --target vsr-search && \
	  echo "usage: $(BUILD)/tools/vsr-search/vsr-search --path DIR --query TEXT [options]  (--help for all)" && \
	  { $(BUILD)/tools/vsr-search/vsr-search --path "$$HOME" --masks '*.txt' --query TODO; true; }; \
	else \
	  cmake --build $(BUILD) -j $(JOBS) --target vantixsr && exec $(BUILD)/src/app/vantixsr; \
	fi

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# One clang build with AddressSanitizer and UndefinedBehaviorSanitizer serves the tests (the window
# and platform/linux included, offscreen) and the fuzzers, which are linked from the same objects.
# The tests' own code is compiled without optimisation (a third of the time; every access still
# checked), the code under test with -O1.
configure-sanitize: deps-sanitize
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -gline-tables-only" \
	      -DCMAKE_CXX_COMPILER=clang++ -DVSR_SANITIZE=ON -DVSR_FUZZ=ON -DVSR_TEST_CXX_FLAGS=-O0 >/dev/null

test-sanitize: configure-sanitize
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS)

# Every fuzz target (fuzz/*_fuzz.cpp) run FUZZ_SECONDS each from its seed corpus in fuzz/corpus/;
# a crash, a sanitizer report or a hang fails.
fuzz: configure-sanitize
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers
	bash fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The engine layers with ThreadSanitizer, running every test that reaches code starting threads
# (the `threads` label, found from the tests' includes: see cmake/VsrThreads.cmake).
test-tsan: deps-test
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
	      -DVSR_TSAN=ON -DVSR_BUILD_UI=OFF >/dev/null
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target threaded_tests
	cd $(TSAN_BUILD) && $(TSAN_ENV) ctest -L threads --no-tests=error --output-on-failure -j $(JOBS)

# A Debian package of the program under /usr from a stripped, hardened Release build: install it
# with `apt-get install ./vantixsr_*.deb`. lintian must find nothing to report.
package: deps-package
	cmake -S . -B $(PACKAGE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
	      -DVSR_BUILD_TESTS=OFF -DVSR_HARDEN=ON -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
	cmake --build $(PACKAGE_BUILD) -j $(JOBS) --target vantixsr vsr-search
	rm -f $(PACKAGE_BUILD)/vantixsr_*.deb
	cd $(PACKAGE_BUILD) && cpack -G DEB
	lintian --fail-on error,warning $(PACKAGE_BUILD)/vantixsr_*.deb

# The package installed into a fresh minimal Debian 12 (downloads a base system; not part of CI).
package-check: package deps-check
	bash packaging/check.sh $(PACKAGE_BUILD)

# The picture of the window the metainfo points software centres at.
screenshot: configure-run deps-screenshot
	cmake --build $(BUILD) -j $(JOBS) --target vantixsr
	VSR_PROGRAM=$(BUILD)/src/app/vantixsr bash tools/screenshot.sh packaging/screenshots/window.png -path=/usr/share/doc
	convert packaging/screenshots/window.png -trim +repage packaging/screenshots/window.png

bench: deps-bench build
	bash bench/search.sh

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(PACKAGE_BUILD)
