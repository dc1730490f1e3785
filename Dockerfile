# Ruzaravo in a container, built from this source tree on Debian 12:
#   docker build -t ruzaravo .
#   docker run --rm -v "$PWD":/data ruzaravo -i enhancers.fa --preset enhancers --outdir out
# The working directory /data is where files are read and written (mount
# yours there); the examples and JASPAR libraries are in /usr/local/share/ruzaravo.
# The build stage compiles and installs into /stage; the final image holds
# only the installed files and the run-time libraries (zlib, libstdc++).
FROM debian:12-slim AS build
RUN apt-get update \
 && apt-get install -y --no-install-recommends cmake g++ make zlib1g-dev \
 && rm -rf /var/lib/apt/lists/*
WORKDIR /src
COPY . .
RUN cmake -S . -B /build -DCMAKE_BUILD_TYPE=Release -DRUZARAVO_TESTS=OFF \
 && cmake --build /build -j"$(nproc)" --target Ruzaravo \
 && DESTDIR=/stage cmake --install /build --prefix /usr/local

FROM debian:12-slim
RUN apt-get update \
 && apt-get install -y --no-install-recommends zlib1g libstdc++6 \
 && rm -rf /var/lib/apt/lists/*
COPY --from=build /stage/usr/local/ /usr/local/
RUN ruzaravo --version
WORKDIR /data
ENTRYPOINT ["ruzaravo"]
CMD ["--help"]
