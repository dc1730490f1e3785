// The FASTA reader on generated text: whatever the line layout (lengths,
// blanks, position numbers, case, line ends), the records hold exactly the
// letters written; compressed forms read back the same records; the
// not-DNA rule sits exactly at one half.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/Fatal.h"
#include "io/FastaText.h"
#include "io/WholeInput.h"
#include "support/TestSupport.h"

namespace {

// Writes seqs as FASTA in a random but valid layout; masked (if given)
// gets the letters as --mask-lower reads them.
std::string Layout(const std::vector<std::string>& seqs, std::mt19937* rng,
                   std::vector<std::string>* masked = nullptr)
{
    if (masked)
        masked->assign(seqs.size(), "");
    std::uniform_int_distribution<int> coin(0, 9);
    std::string text = coin(*rng) < 3 ? "\n \n" : "";
    for (size_t i = 0; i < seqs.size(); i++) {
        const char* eol = coin(*rng) < 3 ? "\r\n" : "\n";
        text += ">seq " + std::to_string(i) + " x|y" + eol;
        size_t at = 0;
        while (at < seqs[i].size()) {
            size_t n = 1 + (*rng)() % 70;
            if (coin(*rng) < 3)
                text += std::to_string(at + 1) + " ";
            for (size_t j = at; j < at + n && j < seqs[i].size(); j++) {
                char c = seqs[i][j];
                bool lower = coin(*rng) < 4;
                text += lower ? (char)(c - 'A' + 'a') : c;
                if (masked)
                    (*masked)[i] += lower ? 'N' : c;
                if (coin(*rng) == 0)
                    text += coin(*rng) < 5 ? " " : "\t";
            }
            text += eol;
            at += n;
        }
    }
    return text;
}

std::vector<std::string> RandomSeqs(std::mt19937* rng)
{
    const char letters[] = "ACGTACGTACGTNRY";
    std::vector<std::string> seqs(1 + (*rng)() % 6);
    for (std::string& s : seqs)
        for (int n = (int)((*rng)() % 300); n > 0; n--)
            s += letters[(*rng)() % 15];
    seqs[0] += "ACGT";   // at least some letters
    return seqs;
}

std::vector<FastaRecord> Parsed(const std::string& text, bool maskLower = false)
{
    std::vector<FastaRecord> records;
    FastaReadOptions options;
    options.MaskLower = maskLower;
    EXPECT_TRUE(ParseFastaText(text, "t.fa", options, &records)) << NotedInputError();
    return records;
}

}  // namespace

TEST(FastaText, AnyValidLayoutGivesTheLettersWritten)
{
    std::mt19937 rng(20261207);
    for (int trial = 0; trial < 300; trial++) {
        std::vector<std::string> seqs = RandomSeqs(&rng);
        std::vector<std::string> expectMasked;
        std::string text = Layout(seqs, &rng, &expectMasked);
        std::vector<FastaRecord> records = Parsed(text);
        ASSERT_EQ(seqs.size(), records.size()) << text;
        for (size_t i = 0; i < seqs.size(); i++) {
            EXPECT_EQ(seqs[i], records[i].Letters) << text;
            EXPECT_EQ(0u, records[i].Name.find(">seq " + std::to_string(i) + " x|y"));
        }
        // Masking turns exactly the lower-case letters into N.
        std::vector<FastaRecord> masked = Parsed(text, true);
        ASSERT_EQ(seqs.size(), masked.size());
        for (size_t i = 0; i < seqs.size(); i++)
            EXPECT_EQ(expectMasked[i], masked[i].Letters) << text;
    }
}

TEST(FastaText, RefusalsNameTheLineAndColumn)
{
    struct BAD {
        std::string Text;
        std::string Because;
    };
    const BAD bad[] = {
        {">a\nACGT\nAC-GT\n", "t.fa: line 3, column 3: '-' is not a sequence letter"},
        {">a\nACGT\n\nAC.GT\n", "line 4, column 3: '.'"},
        {">a\nACGT\xc3\xa9\n", "line 2, column 5: byte 0xC3"},
        {">a\nAC\x01GT\n", "line 2 holds byte 0x01: it is a binary file"},
        {"x\n>a\nACGT\n", "text before the first name line ('>') at line 1"},
        {">a\n12 34\n>b\n", "no sequence letters"},
        {"", "the file is empty"},
        {"\n\n", "no sequence name line"},
    };
    for (const BAD& b : bad) {
        std::vector<FastaRecord> records;
        EXPECT_FALSE(ParseFastaText(b.Text, "t.fa", FastaReadOptions(), &records)) << b.Text;
        EXPECT_NE(std::string::npos, std::string(NotedInputError()).find(b.Because))
            << b.Text << " -> " << NotedInputError();
    }
}

// Exactly half nucleotide codes is DNA enough; one letter fewer is not.
TEST(FastaText, NotDnaBelowOneHalf)
{
    std::vector<FastaRecord> records;
    EXPECT_TRUE(ParseFastaText(">a\nACGURYKM\n", "t.fa", FastaReadOptions(), &records));
    EXPECT_TRUE(ParseFastaText(">a\nnnnnEFIL\n", "t.fa", FastaReadOptions(), &records));
    EXPECT_FALSE(ParseFastaText(">a\nACGRYKMW\n", "t.fa", FastaReadOptions(), &records));
    EXPECT_NE(std::string::npos, std::string(NotedInputError()).find("not DNA: only 3 of the 8 letters (38%)"));
    EXPECT_FALSE(ParseFastaText(">p\nMKTAYIAKQRQISFVKSHFSRQLEERLGLIEVQ\n", "t.fa", FastaReadOptions(), &records));
}

// gzip, BGZF and concatenated gzip files read as the plain text; a file cut
// short or with trailing junk is refused, not taken in part.
TEST(FastaText, CompressedFilesReadAsThePlainText)
{
    CTempDir dir;
    std::mt19937 rng(5);
    std::string plain;
    while (plain.size() < 200000)   // several BGZF blocks
        plain += Layout(RandomSeqs(&rng), &rng);
    const std::string forms[][2] = {
        {"plain.fa", plain},
        {"one.fa.gz", GzipText(plain)},
        {"bgzf.fa.gz", BgzfText(plain)},
        {"small-blocks.fa.gz", BgzfText(plain, 777)},
        {"cat.fa.gz", GzipText(plain.substr(0, 1000)) + GzipText(plain.substr(1000))},
    };
    for (const auto& form : forms) {
        WriteFile(dir.Path(form[0]), form[1]);
        std::string text;
        ASSERT_TRUE(ReadWholeInput(dir.Path(form[0]), &text)) << form[0] << ": " << NotedInputError();
        EXPECT_TRUE(text == plain) << form[0];
    }
    std::string gz = BgzfText(plain, 5000);
    const std::string broken[][2] = {
        {"cut.gz", gz.substr(0, gz.size() - 40)},
        {"junk.gz", gz + "junk"},
        {"bz.fa", "BZh91AY&SY" + plain},
    };
    for (const auto& b : broken) {
        WriteFile(dir.Path(b[0]), b[1]);
        std::string text;
        EXPECT_FALSE(ReadWholeInput(dir.Path(b[0]), &text)) << b[0];
    }
}
