// Reader throughput on generated menu configurations of 1, 10 and 50 MB, with
// pugixml parsing the same bytes as the reference line. Prints MB/s; asserts nothing.
#include <pugixml.hpp>

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "xml/xmlReader.h"

namespace {

// Pages of buttons with layouts, fonts and nested command chains, CR LF line ends.
std::string GenerateConfig(std::size_t targetBytes) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<config>\r\n"
                      "  <General caption=\"Willkommen\" width=\"640\" height=\"480\" "
                      "bgcolor=\"0 64 128\" position=\"center\"/>\r\n"
                      "  <ToolTippConfig tttype=\"button\" ttcolor=\"255 255 225\"/>\r\n"
                      "  <ButtonConfig>\r\n"
                      "    <ButtonLayout width=\"200\" height=\"32\" bgcolor=\"240 240 240\"/>\r\n"
                      "    <Font font=\"Arial Bold\" fontsize=\"16\"/>\r\n"
                      "  </ButtonConfig>\r\n  <Pages>\r\n";
    for (int page = 0; out.size() < targetBytes; ++page) {
        out += "    <Page>\r\n";
        for (int b = 0; b < 8; ++b) {
            const std::string n = std::to_string(page * 8 + b);
            out += "      <Button id=\"btn" + n +
                   "\">\r\n"
                   "        <ButtonLayout caption=\"Programm " +
                   n + " installieren\" tabindex=\"" + n +
                   "\" dreid=\"true\" tooltipp=\"Startet die Installation\"/>\r\n"
                   "        <ButtonPosition left=\"20\" top=\"" +
                   std::to_string(40 * b) +
                   "\"/>\r\n"
                   "        <ButtonMouseOverLayout bgcolor=\"255 200 0\"/>\r\n"
                   "        <Font font=\"Verdana Italic\" fontsize=\"14\"/>\r\n"
                   "        <Query type=\"file\" trueifsuccess=\"true\">\r\n"
                   "          <FileQueryConfig path=\"setup\\\\setup" +
                   n +
                   ".exe\"/>\r\n"
                   "          <Positiv>\r\n"
                   "            <Command type=\"exec\">\r\n"
                   "              <ExecCommandConfig path=\"setup\\\\setup" +
                   n +
                   ".exe\" makeabsolute=\"true\" parameter=\"/quiet\"/>\r\n"
                   "              <Command type=\"weiter\"/>\r\n"
                   "            </Command>\r\n"
                   "          </Positiv>\r\n"
                   "          <Negativ>\r\n"
                   "            <Command type=\"showmessage\">\r\n"
                   "              <ShowMessageCommandConfig message=\"Datei fehlt\" "
                   "caption=\"Grüße\"/>\r\n"
                   "            </Command>\r\n"
                   "          </Negativ>\r\n"
                   "        </Query>\r\n"
                   "      </Button>\r\n";
        }
        out += "    </Page>\r\n";
    }
    out += "  </Pages>\r\n</config>\r\n";
    return out;
}

template <typename F> double BestSeconds(int runs, F&& f) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        f();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

} // namespace

int main() {
    // Freed memory stays with the process, so that both readers are measured on
    // warm memory: first touches of fresh pages cost more than parsing on these machines.
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    std::printf("%-8s %14s %14s %10s %14s\n", "size", "navora MB/s", "pugixml MB/s", "ratio",
                "navora s/MB");
    double firstSecondsPerMb = 0;
    for (const std::size_t mb : {1u, 10u, 50u}) {
        const std::string bytes = GenerateConfig(mb << 20);
        const double size = static_cast<double>(bytes.size()) / (1 << 20);
        const int runs = mb >= 50 ? 4 : 6;
        std::size_t children = 0;
        double ours = 1e30;
        double pugi = 1e30;
        // Blocks of runs in turn, so that neither reader alone meets a slow spell of the
        // machine; within a block each runs on the caches its previous run left.
        for (int block = 0; block < 3; ++block) {
            ours = std::min(ours, BestSeconds(runs, [&] {
                                const auto root = ParseConfigBytes(bytes);
                                children = root->Root().GetChildCount();
                            }));
            pugi = std::min(pugi, BestSeconds(runs, [&] {
                                pugi::xml_document doc;
                                if (!doc.load_buffer(bytes.data(), bytes.size())) {
                                    std::abort();
                                }
                            }));
        }
        if (children != 4) {
            std::fprintf(stderr, "unexpected tree\n");
            return 1;
        }
        const double secondsPerMb = ours / size;
        if (firstSecondsPerMb == 0) {
            firstSecondsPerMb = secondsPerMb;
        }
        std::printf("%-8s %14.1f %14.1f %10.2f %14.4f (x%.2f of 1 MB)\n",
                    (std::to_string(mb) + " MB").c_str(), size / ours, size / pugi, pugi / ours,
                    secondsPerMb, secondsPerMb / firstSecondsPerMb);
    }
    return 0;
}
