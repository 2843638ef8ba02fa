# Front door of mfpsm. CMake does the building; see README.md.
MAKEFLAGS += --no-print-directory
BUILD   := build
JOBS    ?= $(shell nproc)
CTEST_J ?= 4
CONFIG  ?= RelWithDebInfo

HOST_DIR  := $(BUILD)/host
WIN64_DIR := $(BUILD)/win64
WIN32_DIR := $(BUILD)/win32

.PHONY: all build host win64 win32 test dist dist-check demo bench fuzz soak bootstrap clean

all: build

build: host win64 win32

bootstrap:
	@tools/bootstrap.sh

host:
	@cmake -S . -B $(HOST_DIR) -DCMAKE_BUILD_TYPE=$(CONFIG) >/dev/null
	@cmake --build $(HOST_DIR) -j $(JOBS)

win64:
	@cmake -S . -B $(WIN64_DIR) -DCMAKE_BUILD_TYPE=$(CONFIG) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
	@cmake --build $(WIN64_DIR) -j $(JOBS)

# The 32-bit program and its tests, run in a 32-bit prefix (tools/wine-run32).
win32:
	@cmake -S . -B $(WIN32_DIR) -DCMAKE_BUILD_TYPE=$(CONFIG) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake >/dev/null
	@cmake --build $(WIN32_DIR) -j $(JOBS)

# One CTest run over all trees, ending with CTest's summary of all and the
# names of the tests that took more than a minute. The Wine sessions are held
# open for the run and ended after it. No test may take more than 120 s: a
# hang ends there, with the output it wrote up to then.
# On a machine whose kernel runs no 32-bit programs (tools/runs-32bit) the
# win32 tree is built and checked by dist-check, but its Wine tests cannot
# start: they are left out of the run, and its last line says so.
test: bootstrap build
	@tools/dist-check.sh
	@trees="host win64"; ! tools/runs-32bit || trees="$$trees win32"; \
	  printf 'subdirs("%s")\n' $$trees > $(BUILD)/CTestTestfile.cmake
	@tools/wine-run --session-start
	@! tools/runs-32bit || tools/wine-run32 --session-start
	@cd $(BUILD) && ctest --output-on-failure --timeout 120 -j $(CTEST_J); status=$$?; \
	  $(CURDIR)/tools/wine-run --session-end; ! $(CURDIR)/tools/runs-32bit || $(CURDIR)/tools/wine-run32 --session-end; \
	  $(CURDIR)/tools/slow-tests . 60; \
	  $(CURDIR)/tools/runs-32bit || echo "make test: this machine runs no 32-bit programs: the win32 tree's Wine tests were not run"; \
	  exit $$status

# The release: stripped 64- and 32-bit programs, debug files and sums in dist/;
# with SIGN_PFX=FILE.pfx SIGN_PASS=… (and SIGN_TIMESTAMP=URL) both programs
# are signed (see Release in README.md).
dist: bootstrap
	@JOBS=$(JOBS) tools/dist.sh

# Packs the tested programs as the release, rebuilds them in another folder
# and checks both are the same bytes, hardened, and run from their zips.
dist-check: bootstrap build
	@tools/dist-check.sh

demo: bootstrap win64
	@tools/demo.sh

bench: build
	@MFPSM_BENCH=1 tools/bootstrap.sh
	@tools/bench.sh

# Fuzzing the core with clang's libFuzzer, FUZZ_SECONDS per target.
FUZZ_SECONDS ?= 60
fuzz:
	@MFPSM_FUZZ=1 tools/bootstrap.sh
	@CC=clang CXX=clang++ cmake -S . -B $(BUILD)/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMFPSM_FUZZ=ON >/dev/null
	@cmake --build $(BUILD)/fuzz -j $(JOBS)
	@tools/fuzz.sh $(FUZZ_SECONDS)

# The soak of the resident monitor alone, for MINUTES minutes; the test's
# time-out is set to match for this run and put back afterwards.
MINUTES ?= 15
soak: bootstrap
	@cmake -S . -B $(WIN64_DIR) -DCMAKE_BUILD_TYPE=$(CONFIG) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DMFPSM_SOAK_TIMEOUT=$$(awk 'BEGIN { printf "%d", $(MINUTES) * 60 + 300 }') >/dev/null
	@cmake --build $(WIN64_DIR) -j $(JOBS)
	@cd $(WIN64_DIR) && MFPSM_SOAK_MINUTES=$(MINUTES) ctest -R '^e2e\.soak$$' -V \
	  --timeout $$(awk 'BEGIN { printf "%d", $(MINUTES) * 60 + 300 }'); status=$$?; \
	  cmake -DMFPSM_SOAK_TIMEOUT=120 . >/dev/null; exit $$status

clean:
	rm -rf $(BUILD) out dist
