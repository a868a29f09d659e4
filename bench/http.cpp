// HTTP/1.x head parsing: HttpHeader (bytes as a socket gives them, and a QString) against
// Boost.Beast's request_parser / response_parser with an empty body, on a browser-like request
// of 11 fields and a typical response of 9. Every iteration parses into a fresh object, as a
// server does per request, and both sides then read the same: a request's host and target, a
// response's status code. (Beast stores every field as it parses; HttpHeader keeps the head's
// bytes and the places of its field lines, and builds its record only when it is asked for.)
#include "ratio_reporter.h"

#include <zor/HttpHeader.h>

#include <benchmark/benchmark.h>
#include <boost/beast/http.hpp>

#include <QByteArray>
#include <QString>

namespace {

namespace http = boost::beast::http;

const QByteArray kRequest(
    "GET /docs/index.html?lang=en HTTP/1.1\r\n"
    "Host: www.example.org\r\n"
    "User-Agent: Mozilla/5.0 (X11; Linux x86_64; rv:109.0) Gecko/20100101 Firefox/115.0\r\n"
    "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,image/avif,image/webp,*/*;q=0.8\r\n"
    "Accept-Language: en-US,en;q=0.5\r\n"
    "Accept-Encoding: gzip, deflate, br\r\n"
    "Connection: keep-alive\r\n"
    "Referer: https://www.example.org/\r\n"
    "Cookie: session=8f2e1c0a9b7d6e5f; theme=dark\r\n"
    "Upgrade-Insecure-Requests: 1\r\n"
    "Sec-Fetch-Dest: document\r\n"
    "Sec-Fetch-Mode: navigate\r\n"
    "\r\n");

const QByteArray kResponse(
    "HTTP/1.1 200 OK\r\n"
    "Date: Mon, 07 Dec 2026 12:00:00 GMT\r\n"
    "Server: zor\r\n"
    "Content-Type: text/html; charset=utf-8\r\n"
    "Content-Length: 1024\r\n"
    "Last-Modified: Sun, 06 Dec 2026 10:00:00 GMT\r\n"
    "ETag: \"5f3a-400\"\r\n"
    "Cache-Control: max-age=3600\r\n"
    "Connection: keep-alive\r\n"
    "Vary: Accept-Encoding\r\n"
    "\r\n");

void request_zor(benchmark::State& state) {
    for (auto _ : state) {
        zor::HttpHeader h;
        if (!h.fromLatin1(kRequest)) state.SkipWithError("parse failed");
        benchmark::DoNotOptimize(h.host().size());
        benchmark::DoNotOptimize(h.getResource().size());
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * kRequest.size());
}
BENCHMARK(request_zor)->Name("http_request/zor");

void request_zor_text(benchmark::State& state) {
    const QString text = QString::fromLatin1(kRequest);
    for (auto _ : state) {
        zor::HttpHeader h;
        if (!h.fromString(text)) state.SkipWithError("parse failed");
        benchmark::DoNotOptimize(h.host().size());
        benchmark::DoNotOptimize(h.getResource().size());
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * kRequest.size());
}
BENCHMARK(request_zor_text)->Name("http_request/zor_fromString");

void request_beast(benchmark::State& state) {
    for (auto _ : state) {
        http::request_parser<http::empty_body> p;
        p.eager(true);
        boost::beast::error_code ec;
        p.put(boost::asio::buffer(kRequest.constData(), static_cast<std::size_t>(kRequest.size())), ec);
        if (ec || !p.is_header_done()) state.SkipWithError("parse failed");
        benchmark::DoNotOptimize(p.get()[http::field::host].size());
        benchmark::DoNotOptimize(p.get().target().size());
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * kRequest.size());
}
BENCHMARK(request_beast)->Name("http_request/beast");

void response_zor(benchmark::State& state) {
    for (auto _ : state) {
        zor::HttpHeader h;
        if (!h.fromLatin1(kResponse)) state.SkipWithError("parse failed");
        benchmark::DoNotOptimize(h.getCode());
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * kResponse.size());
}
BENCHMARK(response_zor)->Name("http_response/zor");

void response_beast(benchmark::State& state) {
    for (auto _ : state) {
        http::response_parser<http::empty_body> p;
        p.eager(true);
        p.skip(true);  // a head only: the body is not this benchmark's subject
        boost::beast::error_code ec;
        p.put(boost::asio::buffer(kResponse.constData(), static_cast<std::size_t>(kResponse.size())), ec);
        if (ec || !p.is_header_done()) state.SkipWithError("parse failed");
        benchmark::DoNotOptimize(p.get().result_int());
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * kResponse.size());
}
BENCHMARK(response_beast)->Name("http_response/beast");

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    zorbench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
