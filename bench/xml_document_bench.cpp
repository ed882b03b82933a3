// Indexing a 1 MB document with XmlDocument, against pugixml parsing the same bytes.
#include "app/core/text_encoding.h"
#include "app/device/xml_document.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

// A description-file-like document: nested layouts of keys with several attributes each.
const std::string& Document() {
    static const std::string doc = [] {
        std::string s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<device.info name=\"Bench\">\r\n";
        int layout = 0;
        while (s.size() < 1000 * 1000) {
            s += "<layout id=\"" + std::to_string(layout++) + "\" width=\"1200\" height=\"400\">\r\n";
            for (int k = 0; k < 100; ++k) {
                s += "  <key code=\"0x" + std::to_string(4 + k) + "\" name=\"Key &amp; " + std::to_string(k) +
                     "\" desc=\"Tecla n\xC3\xBAmero " + std::to_string(k) + "\" key_index=\"" + std::to_string(k) +
                     "\" light_index=\"" + std::to_string(k) + "\" row_col=\"" + std::to_string(k / 20) + "," +
                     std::to_string(k % 20) + "\" rect=\"10,20,50,50\"/>\r\n";
            }
            s += "  <!-- end of layout -->\r\n</layout>\r\n";
        }
        s += "</device.info>\r\n";
        return s;
    }();
    return doc;
}

void BM_XmlDocumentSetText(benchmark::State& state) {
    const std::u16string wide = vantrel::Utf8ToWide(Document());
    for (auto _ : state) {
        vantrel::XmlDocument doc;
        bool ok = doc.SetText(wide);
        benchmark::DoNotOptimize(ok);
        if (!ok) state.SkipWithError("not well-formed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Document().size()));
}
BENCHMARK(BM_XmlDocumentSetText)->Unit(benchmark::kMillisecond);

// The same with the UTF-8 to UTF-16 conversion that loading a file adds.
void BM_XmlDocumentFromUtf8(benchmark::State& state) {
    for (auto _ : state) {
        vantrel::XmlDocument doc;
        bool ok = doc.SetText(vantrel::Utf8ToWide(Document()));
        benchmark::DoNotOptimize(ok);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Document().size()));
}
BENCHMARK(BM_XmlDocumentFromUtf8)->Unit(benchmark::kMillisecond);

// LoadFile of the document saved as a UTF-8 file: read, decode and index.
void BM_XmlDocumentLoadFile(benchmark::State& state) {
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "vantrel-bench.xml";
    std::ofstream(file, std::ios::binary) << Document();
    for (auto _ : state) {
        vantrel::XmlDocument doc;
        bool ok = doc.LoadFile(file);
        benchmark::DoNotOptimize(ok);
        if (!ok) state.SkipWithError("load failed");
    }
    std::filesystem::remove(file);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Document().size()));
}
BENCHMARK(BM_XmlDocumentLoadFile)->Unit(benchmark::kMillisecond);

void BM_PugixmlParse(benchmark::State& state) {
    for (auto _ : state) {
        pugi::xml_document doc;
        pugi::xml_parse_result result = doc.load_buffer(Document().data(), Document().size());
        benchmark::DoNotOptimize(result);
        if (!result) state.SkipWithError("pugixml failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Document().size()));
}
BENCHMARK(BM_PugixmlParse)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
