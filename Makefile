# Lumo: `make run` builds and starts the organiser, `make test` builds and runs the tests.
# Both install missing Debian packages first.
BUILD   ?= build
JOBS    ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build run test bench install deb clean reset-data

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/app/rmd

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	bench/run $(BUILD)

# Installs under PREFIX (default /usr/local); DESTDIR is honoured.
install: build
	cmake --install $(BUILD) $(if $(PREFIX),--prefix $(PREFIX))

# Builds $(BUILD)/lumo_<version>_amd64.deb.
deb: build
	cd $(BUILD) && cpack -G DEB

# Removes build products, never the user's data in $(BUILD)/app: the
# database rmd.mdb, its backups and the lists in wbwj.
clean:
	@if [ -d $(BUILD) ]; then \
	  find $(BUILD) -mindepth 1 -maxdepth 1 ! -name app -exec rm -rf {} + ; \
	  find $(BUILD)/app -mindepth 1 -maxdepth 1 ! -name rmd.mdb ! -name backups ! -name wbwj \
	    -exec rm -rf {} + ; \
	fi

# Replaces the user's database with a fresh seed: every affair is lost.
reset-data: build
	cp $(BUILD)/seed/rmd.mdb $(BUILD)/app/rmd.mdb
