# make run:  install what is missing, build, start layinst in build/kit
# make test: install what is missing, build, run every test
.PHONY: all deps build test run test-asan clean

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default

test: build
	@ctest --preset default

run: build
	@if [ -x build/kit/layinst ]; then \
	  cd build/kit && exec ./layinst; \
	else \
	  echo "layinst is not built yet: the installer does not exist in this version" >&2; exit 1; \
	fi

test-asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan
	@ctest --preset asan

clean:
	rm -rf build build-asan
