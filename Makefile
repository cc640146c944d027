# Front door: every target installs what is missing first, then builds with CMake and Ninja.
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
WIN_BUILD ?= build-win
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?=
DEMO_PROFILE ?= modern
CMAKE_FLAGS ?=

.PHONY: all deps test-deps package-deps configure build run test test-asan fuzz format format-check demo bench package \
	windows-deps windows-configure windows windows-test windows-demo clean

all: build

deps:
	@sh scripts/install-deps.sh build

test-deps:
	@sh scripts/install-deps.sh test

package-deps:
	@sh scripts/install-deps.sh package

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD)

# Starts the app; it looks for adb beside itself, then on the PATH.
run: build
	./$(BUILD)/Telvane

# The whole suite: formatting, the normal build, then again under ASan and UBSan, then a few seconds
# of every fuzz target.
test: test-deps configure format-check
	cmake --build $(BUILD)
	cd $(BUILD) && ctest --output-on-failure
	$(MAKE) test-asan
	$(MAKE) fuzz FUZZ_SECONDS=3
	@if sh scripts/windows-qt.sh --if-available >/dev/null 2>&1; then $(MAKE) windows-test; else \
		echo "Windows tests skipped: no Qt built for Windows here (make windows-test builds it once, or set TELVANE_QT_MINGW)"; fi

test-asan: test-deps
	@test -f $(ASAN_BUILD)/build.ninja || cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTELVANE_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD)
	cd $(ASAN_BUILD) && ctest --output-on-failure

# Every parser (or the FUZZ_TARGETS named) under libFuzzer with ASan and UBSan for FUZZ_SECONDS each,
# starting from the test data.
# A Debug build keeps Qt's own index checks in the inline code we call; -O1 and line tables only keep it quick.
fuzz: test-deps
	@test -f $(FUZZ_BUILD)/build.ninja || cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
		-DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_CXX_FLAGS_DEBUG="-gline-tables-only -O1" -DTELVANE_FUZZ=ON -DTELVANE_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build $(FUZZ_BUILD) --target fuzzers
	sh scripts/fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

format-check: configure
	cmake --build $(BUILD) --target format-check

format: configure
	cmake --build $(BUILD) --target format

# The app beside the simulated phone, for trying every panel without a phone (DEMO_PROFILE=oldos, noroot, ...).
demo: test-deps build
	mkdir -p $(BUILD)/demo/state
	cp $(BUILD)/Telvane $(BUILD)/tests/adb $(BUILD)/demo/
	echo "$(DEMO_PROFILE)" > $(BUILD)/demo/adb.profile
	TELVANE_SIM_STATE=$$PWD/$(BUILD)/demo/state ./$(BUILD)/demo/Telvane

bench: deps configure
	cmake --build $(BUILD)
	@for b in $(BUILD)/bench/bench_*; do \
		if [ -f "$$b" ] && [ -x "$$b" ]; then QT_QPA_PLATFORM=offscreen "$$b" || exit 1; fi; \
	done

# The Debian package $(BUILD)/telvane_<version>_<arch>.deb; it holds the app and telvane-cli, so only they are built.
package: package-deps configure
	cmake --build $(BUILD) --target Telvane telvane-cli
	cd $(BUILD) && cpack -G DEB

# Windows: Telvane.exe cross-built with MinGW-w64 against a Qt built from Debian's source (scripts/windows-qt.sh
# makes it once), its tests run under Wine in a prefix of the tree's own.
windows-deps:
	@sh scripts/install-deps.sh windows

# qrcodegen for Windows comes the same way (scripts/windows-qrcodegen.sh); a tree configured before it is
# configured again.
windows-configure: windows-deps
	@qt=$$(sh scripts/windows-qt.sh) && qr=$$(sh scripts/windows-qrcodegen.sh) && \
		{ grep -qs "$$qr" $(WIN_BUILD)/CMakeCache.txt || cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
			-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_PREFIX_PATH="$$qt;$$qr" $(CMAKE_FLAGS); }

# The portable zip $(WIN_BUILD)/Telvane-<version>-win64.zip.
windows: windows-configure
	cmake --build $(WIN_BUILD) --target windows-zip

windows-test: windows-configure
	cmake --build $(WIN_BUILD)
	sh scripts/wine-prefix.sh $(WIN_BUILD)/wine
	cd $(WIN_BUILD) && WINEPREFIX=$$PWD/wine ctest --output-on-failure; status=$$?; \
		WINEPREFIX=$$PWD/wine wineserver -k 2>/dev/null; exit $$status

# Telvane.exe under Wine beside the simulated phone (DEMO_PROFILE as for make demo).
windows-demo: windows test-deps
	cmake --build $(WIN_BUILD) --target simadb
	rm -rf $(WIN_BUILD)/demo && mkdir -p $(WIN_BUILD)/demo
	cd $(WIN_BUILD) && cp -r Telvane-*-win64/. demo/ && cp tests/adb.exe demo/
	echo "$(DEMO_PROFILE)" > $(WIN_BUILD)/demo/adb.profile
	sh scripts/wine-prefix.sh $(WIN_BUILD)/wine
	@# A Wine session started headless (by the tests) has no display driver: a new one takes this display.
	WINEPREFIX=$$PWD/$(WIN_BUILD)/wine wineserver -k; true
	mkdir -p $(WIN_BUILD)/demo/state
	cd $(WIN_BUILD)/demo && WINEPREFIX=$$PWD/../wine TELVANE_SIM_STATE="Z:$$PWD/state" sh ../../scripts/wine-run.sh ./Telvane.exe

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(WIN_BUILD)
