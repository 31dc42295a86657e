# One entry for both builds and every test. `make demo` and `make test` are the README's two
# commands; both install what is missing first.
BUILD   := build
HOST    := $(BUILD)/host
WIN     := $(BUILD)/win32
FUZZ    := $(BUILD)/fuzz
BENCH   := $(BUILD)/bench
RELEASE := $(BUILD)/release
JOBS    ?= $(shell nproc)
PREFIX  ?= /usr/local

CMAKE_GEN := -G Ninja

.PHONY: all bootstrap host win32 fuzz release build install test demo bench clean

all: build

bootstrap:
	@scripts/bootstrap.sh

# The host build carries the sanitizers: every host test and every package the tests build
# runs under AddressSanitizer and UBSan.
host:
	@cmake -S . -B $(HOST) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSFX_SANITIZE=ON >/dev/null
	@cmake --build $(HOST) -j $(JOBS)

# The Windows programs need the host's sfxpack (the uninstaller travels compressed).
win32: host
	@cmake -S . -B $(WIN) $(CMAKE_GEN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	    -DCMAKE_BUILD_TYPE=MinSizeRel -DSFXPACK=$(CURDIR)/$(HOST)/tools/sfxpack >/dev/null
	@cmake --build $(WIN) -j $(JOBS)

fuzz:
	@if [ -f tests/fuzz/CMakeLists.txt ]; then \
	    CC=clang CXX=clang++ cmake -S . -B $(FUZZ) $(CMAKE_GEN) -DSFX_FUZZ=ON \
	        -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null && cmake --build $(FUZZ) -j $(JOBS); fi

# The sfxpack publishers run: optimised and without the sanitizers, which slow decoding several
# times over. Only that program is built here; the tests use the host build's.
release:
	@cmake -S . -B $(RELEASE) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DSFX_SANITIZE=OFF >/dev/null
	@cmake --build $(RELEASE) -j $(JOBS) --target sfxpack

build: host win32 fuzz release

# sfxpack into $(PREFIX)/bin, its stub (the Windows build's setup.exe) into
# $(PREFIX)/share/sfx-installer and the README into $(PREFIX)/share/doc/sfx-installer.
# DESTDIR is honoured.
install: win32 release
	@cmake --install $(RELEASE) --prefix $(PREFIX)

# One ctest run over all build folders, so independent tests of every layer share the cores.
test: bootstrap
	@$(MAKE) --no-print-directory build
	@scripts/ctest-all.sh $(BUILD) $(JOBS)

demo: bootstrap
	@$(MAKE) --no-print-directory build
	@scripts/demo.sh $(BUILD)

# The benchmarks measure what users get: the release sfxpack, and the stub's decoder under Wine.
bench: bootstrap
	@$(MAKE) --no-print-directory win32 release
	@cmake -S . -B $(BENCH) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DSFX_BENCH=ON >/dev/null
	@cmake --build $(BENCH) -j $(JOBS)
	@scripts/bench.sh $(BENCH) $(WIN) $(BUILD)/release

clean:
	rm -rf $(BUILD)
