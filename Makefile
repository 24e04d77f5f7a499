# Two commands for a newcomer: `make run` builds the organizer and starts it on a generated demo
# game folder; `make test` builds everything and runs every test, plainly and under ASan/UBSan.
# `make package` builds the Debian package; `make check-install` and `make check-windows` are the
# checks CI runs on the installed tree and on the Windows code.

APP_DIR := build/default/bin
DEMO_DIR := $(CURDIR)/build/default/demo

.PHONY: all deps ci-deps fuzz-deps build run test test-plain test-asan test-tsan package check-install check-windows bench \
	fuzz format format-check clean

all: build

deps:
	@scripts/install-deps.sh

ci-deps:
	@scripts/install-deps.sh --ci

fuzz-deps:
	@scripts/install-deps.sh --fuzz

build: deps
	cmake --preset default
	cmake --build --preset default

# settings.ini is written only when there is none, so a game folder chosen in the Settings dialog
# survives the next `make run`.
run: build
	@if [ ! -e $(APP_DIR)/settings.ini ]; then \
	    printf '%s\r\n%s' "$(DEMO_DIR)/Zeno2" "$(DEMO_DIR)/cdrom" > $(APP_DIR)/settings.ini; \
	    echo "Wrote $(APP_DIR)/settings.ini for the demo game folder $(DEMO_DIR)/Zeno2"; \
	fi
	$(APP_DIR)/zq2org

test: test-plain test-asan test-tsan

test-plain: deps
	cmake --preset default
	cmake --build --preset default
	ctest --preset default

test-asan: deps
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

# The tests of work on worker threads, under ThreadSanitizer; only what they need is built.
test-tsan: deps
	cmake --preset tsan
	cmake --build --preset tsan
	ctest --preset tsan

# build/package/zq2org_<version>_<arch>.deb: a release build without the tests, installed under /usr.
package: deps
	cmake --preset package
	cmake --build --preset package
	cpack --preset package

check-install: package ci-deps
	scripts/check-install.sh build/package

check-windows: ci-deps
	scripts/check-windows.sh build/default

bench: deps
	cmake --preset bench
	cmake --build --preset bench
	@for b in build/bench/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

# Every fuzz target for FUZZ_SECONDS seconds each (scripts/fuzz.sh), built with clang in build/fuzz.
FUZZ_SECONDS ?= 30
fuzz: fuzz-deps
	scripts/fuzz.sh $(FUZZ_SECONDS)

SOURCES = $(shell find src tests bench tools fuzz -name '*.cpp' -o -name '*.h')

format:
	@clang-format -i $(SOURCES)

format-check:
	@clang-format --dry-run -Werror $(SOURCES)

clean:
	rm -rf build
