# The whole set-up on a fresh Debian or Ubuntu machine:
#   make run      installs what is missing, builds, opens the calculator
#   make test     installs what is missing, builds the Linux and the Windows
#                 programs, runs every test (the Windows ones under Wine)
#   make windows  builds the Windows program, its installer and its zip
# CI (CI=true) also turns compiler warnings into errors.

JOBS ?= $(shell nproc 2>/dev/null || echo 2)
WERROR := $(if $(filter true 1 yes,$(CI)),ON,OFF)

.PHONY: all deps deps-windows configure build windows run test sanitize bench package clean

all: build

deps:
	@./scripts/install-deps.sh

deps-windows:
	@./scripts/install-deps.sh --windows

# The Linux build's tests also check the Windows build in build-win/.
configure: deps
	cmake --preset default -DMERAVEL_WERROR=$(WERROR) -DMERAVEL_WINDOWS_BUILD_DIR=$(CURDIR)/build-win

build: configure
	cmake --build --preset default -j $(JOBS)

windows: deps-windows
	cmake --preset windows -DMERAVEL_WERROR=$(WERROR)
	cmake --build --preset windows -j $(JOBS)

run: build
	@./scripts/run.sh build/qt/meravel

test: build windows
	ctest --preset default -j $(JOBS)

# The unit tests again, under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	cmake --preset sanitize -DMERAVEL_WERROR=$(WERROR)
	cmake --build --preset sanitize -j $(JOBS)
	ctest --preset sanitize -j $(JOBS)

bench: build
	@./bench/run.sh

package: build
	cd build && cpack -G DEB

clean:
	rm -rf build build-sanitize build-win
