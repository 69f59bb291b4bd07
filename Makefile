# The whole set-up on a fresh Debian 12 machine:
#   make run      installs what building and running need, builds the program
#                 alone (no tests, no benchmarks) in build-run/, opens it
#   make test     installs what the tests need too, builds the Linux and the
#                 Windows programs, runs every test (the Windows ones under Wine)
#   make windows  builds the Windows program, its installer and its zip
#   make package  builds the Debian package from the program alone (the run
#                 set of packages, no tests), in build-run/
#   make release  both, then the three release files and their SHA256SUMS in
#                 build-release/
# CI (CI=true) also turns compiler warnings into errors.

JOBS ?= $(shell nproc 2>/dev/null || echo 2)
VERSION := $(shell sed -n 's/^ *VERSION \([0-9.]*\)$$/\1/p' CMakeLists.txt | head -n 1)
WERROR := $(if $(filter true 1 yes,$(CI)),ON,OFF)

.PHONY: all deps deps-run deps-windows deps-package configure build configure-run build-run windows run test sanitize bench package release clean

all: build

# Everything the tests need, the Windows cross build and Wine included.
deps:
	@./scripts/install-deps.sh test

deps-run:
	@./scripts/install-deps.sh run

deps-windows:
	@./scripts/install-deps.sh windows

deps-package:
	@./scripts/install-deps.sh package

# The Linux build's tests also check the Windows build in build-win/.
configure: deps
	cmake --preset default -DMERAVEL_WERROR=$(WERROR) -DMERAVEL_WINDOWS_BUILD_DIR=$(CURDIR)/build-win

build: configure
	cmake --build --preset default -j $(JOBS)

windows: deps-windows
	cmake --preset windows -DMERAVEL_WERROR=$(WERROR)
	cmake --build --preset windows -j $(JOBS)

configure-run: deps-run
	cmake --preset run -DMERAVEL_WERROR=$(WERROR)

build-run: configure-run
	cmake --build --preset run -j $(JOBS)

# Without a desktop the program itself says so, in French and English, and
# ends with status 1.
run: build-run
	./build-run/qt/meravel

test: build windows
	ctest --preset default -j $(JOBS)

# The unit tests again, under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	cmake --preset sanitize -DMERAVEL_WERROR=$(WERROR)
	cmake --build --preset sanitize -j $(JOBS)
	ctest --preset sanitize -j $(JOBS)

bench: build
	@./bench/run.sh

# The same build as `make run`'s, without the tests and the benchmarks. The
# package's parts take their modes from the umask, as with dpkg-buildpackage.
package: deps-package
	cmake --preset run -DMERAVEL_WERROR=$(WERROR)
	cmake --build --preset run -j $(JOBS)
	cd build-run && umask 022 && cpack -G DEB

# What is published, with the checksums `sha256sum -c SHA256SUMS` checks.
release: windows package
	rm -rf build-release && mkdir build-release
	cp build-win/meravel-$(VERSION)-x64.msi build-win/meravel-$(VERSION)-win64.zip \
		build-run/meravel_$(VERSION)_*.deb build-release/
	cd build-release && LC_ALL=C sha256sum meravel* >SHA256SUMS

clean:
	rm -rf build build-run build-sanitize build-win build-release
