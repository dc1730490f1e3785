// The streaming FASTA reader against the whole-text reader: on generated
// text in random layouts, read plain, gzip and as joined gzip members in
// pieces of random sizes, it gives exactly the same records; on faulty text
// it refuses with the same reason.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/Fatal.h"
#include "io/FastaStream.h"
#include "io/FastaText.h"
#include "support/TestSupport.h"

namespace {

// Random records (mixed case, N runs, empty ones) in a random valid layout.
std::string RandomFasta(std::mt19937* rng)
{
    std::uniform_int_distribution<int> coin(0, 9), len(0, 3000), width(1, 120);
    std::string text = coin(*rng) < 3 ? "\n \n" : "";
    const int records = 1 + coin(*rng);
    for (int r = 0; r < records; r++) {
        const char* eol = coin(*rng) < 3 ? "\r\n" : "\n";
        text += ">rec" + std::to_string(r) + " some words" + eol;
        const int n = coin(*rng) == 0 ? 0 : len(*rng), w = width(*rng);
        for (int i = 0; i < n; i++) {
            int c = coin(*rng);
            text += c < 8 ? "ACGT"[c % 4] : c == 8 ? 'n' : "acgt"[(*rng)() % 4];
            if ((i + 1) % w == 0 || i + 1 == n)
                text += coin(*rng) == 0 ? std::string(" 12") + eol : std::string(eol);
        }
    }
    return text;
}

// Reads the file through the stream in pieces of random sizes.
bool Stream(const std::string& path, bool mask, std::mt19937* rng, std::vector<FastaRecord>* out)
{
    out->clear();
    std::unique_ptr<FastaStream> in = FastaStream::Open(path, mask);
    if (!in)
        return false;
    std::uniform_int_distribution<int> size(1, 700);
    std::string name;
    for (size_t r = 0; in->NextRecord(&name); r++) {
        out->push_back({name, ""});
        // Every fifth record is left part-read: NextRecord skips the rest.
        const bool partial = r % 5 == 4;
        while (in->Letters(&out->back().Letters, (size_t)size(*rng)) > 0)
            if (partial)
                break;
        if (partial)
            out->back().Letters = "(skipped)";
    }
    return in->Finish();
}

}  // namespace

TEST(FastaStream, SameRecordsAsTheWholeTextReaderInEveryForm)
{
    std::mt19937 rng(23);
    CTempDir dir;
    for (int round = 0; round < 60; round++) {
        const std::string text = RandomFasta(&rng);
        const bool mask = round % 2 == 1;
        FastaReadOptions opt;
        opt.MaskLower = mask;
        std::vector<FastaRecord> whole;
        ASSERT_TRUE(ParseFastaText(text, "x", opt, &whole)) << NotedInputError();
        const size_t cut = text.size() / 3;
        WriteFile(dir.Path("a.fa"), text);
        WriteFile(dir.Path("a.fa.gz"), GzipText(text));
        WriteFile(dir.Path("b.fa.gz"), GzipText(text.substr(0, cut)) + GzipText(text.substr(cut)));
        for (const char* name : {"a.fa", "a.fa.gz", "b.fa.gz"}) {
            std::vector<FastaRecord> streamed;
            std::mt19937 sizes(round);
            ASSERT_TRUE(Stream(dir.Path(name), mask, &sizes, &streamed)) << name << ": " << NotedInputError();
            std::vector<FastaRecord> expected = whole;
            for (size_t i = 4; i < expected.size(); i += 5)
                expected[i].Letters = "(skipped)";
            ASSERT_EQ(expected.size(), streamed.size()) << name;
            for (size_t i = 0; i < expected.size(); i++) {
                EXPECT_EQ(expected[i].Name, streamed[i].Name) << name;
                EXPECT_EQ(expected[i].Letters, streamed[i].Letters) << name << " record " << i;
            }
        }
    }
}

TEST(FastaStream, RefusesFaultyTextWithTheWholeReadersReason)
{
    CTempDir dir;
    const std::vector<std::string> bad = {
        "",
        "ACGT\n>a\nACGT\n",
        ">a\nACGT\nAC*GT\n",
        ">a\nACGT\x01\n",
        ">a\n\n>b\n",
        "no name at all, only words\n",
        ">p\nMKVLLEEQQRRWWYYHHPPFF\n",
    };
    for (const std::string& text : bad) {
        std::vector<FastaRecord> whole;
        ASSERT_FALSE(ParseFastaText(text, dir.Path("bad.fa"), FastaReadOptions(), &whole)) << text;
        const std::string expected = NotedInputError();
        WriteFile(dir.Path("bad.fa"), text);
        std::mt19937 rng(1);
        std::vector<FastaRecord> streamed;
        ClearInputError();
        EXPECT_FALSE(Stream(dir.Path("bad.fa"), false, &rng, &streamed)) << text;
        EXPECT_EQ(expected, std::string(NotedInputError())) << text;
    }
    // A gzip file cut short is damaged, not a shorter genome.
    const std::string packed = GzipText(">a\n" + std::string(50000, 'A') + "\n");
    WriteFile(dir.Path("cut.fa.gz"), packed.substr(0, packed.size() / 2));
    std::mt19937 rng(1);
    std::vector<FastaRecord> streamed;
    EXPECT_FALSE(Stream(dir.Path("cut.fa.gz"), false, &rng, &streamed));
    EXPECT_NE(std::string::npos, std::string(NotedInputError()).find("truncated")) << NotedInputError();
    // Bytes after the last member that do not start another are damage too.
    WriteFile(dir.Path("junk.fa.gz"), packed + "junk\n");
    EXPECT_FALSE(Stream(dir.Path("junk.fa.gz"), false, &rng, &streamed));
    EXPECT_NE(std::string::npos, std::string(NotedInputError()).find("not gzip data")) << NotedInputError();
    WriteFile(dir.Path("x.fa.xz"), std::string("\xfd" "7zXZ\0", 6) + "rest");
    EXPECT_FALSE(FastaStream::Open(dir.Path("x.fa.xz"), false));
    EXPECT_NE(std::string::npos, std::string(NotedInputError()).find("unxz")) << NotedInputError();
}
