# Front door: every target installs what is missing first, then builds with CMake and Ninja.
BUILD ?= build
ASAN_BUILD ?= build-asan
DEMO_PROFILE ?= modern
CMAKE_FLAGS ?=

.PHONY: all deps test-deps package-deps configure build run test test-asan format format-check demo bench package clean

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

# The whole suite: formatting, the normal build, then again under ASan and UBSan.
test: test-deps configure format-check
	cmake --build $(BUILD)
	cd $(BUILD) && ctest --output-on-failure
	$(MAKE) test-asan

test-asan: test-deps
	@test -f $(ASAN_BUILD)/build.ninja || cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTELVANE_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD)
	cd $(ASAN_BUILD) && ctest --output-on-failure

format-check: configure
	cmake --build $(BUILD) --target format-check

format: configure
	cmake --build $(BUILD) --target format

# The app beside the simulated phone, for trying every panel without a phone (DEMO_PROFILE=oldos, noroot, ...).
demo: test-deps build
	mkdir -p $(BUILD)/demo
	cp $(BUILD)/Telvane $(BUILD)/tests/adb $(BUILD)/demo/
	echo "$(DEMO_PROFILE)" > $(BUILD)/demo/adb.profile
	./$(BUILD)/demo/Telvane

bench: deps configure
	cmake --build $(BUILD)
	@for b in $(BUILD)/bench/bench_*; do \
		if [ -f "$$b" ] && [ -x "$$b" ]; then QT_QPA_PLATFORM=offscreen "$$b" || exit 1; fi; \
	done

# The Debian package $(BUILD)/telvane_<version>_<arch>.deb; it holds the app alone, so only the app is built.
package: package-deps configure
	cmake --build $(BUILD) --target Telvane
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
