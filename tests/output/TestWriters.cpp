// The standard-file writers on hand-made records: the exact text of every
// file for a small record (coordinates 0-based end-exclusive in BED and
// bedGraph, 1-based inclusive in GFF3, shifted by the offset of a
// chrom:start-end name), the genome-name reader, JSON string escaping, and
// a property of the bedGraph over many random records, and the enrichment
// fields that only a run which measured enrichment adds; the four-word
// genome names, numbered references for shared names, and genome order
// checked against sort(1).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "ToolRun.h"
#include "output/BedFiles.h"
#include "output/Coordinates.h"
#include "output/Gff3File.h"
#include "output/MotifFiles.h"
#include "output/PlaceOrder.h"
#include "output/SummaryJson.h"
#include "output/TextFormat.h"
#include "support/TestSupport.h"

namespace {

// Run 1 (index 0) on two sequences; motif 1 printed with three sites (one
// reverse), motif 2 not printed; one module [2, 12) in the first sequence.
RunResult SmallRecord(const std::string& firstName)
{
    RunResult r;
    r.run = 0;
    r.seed = 7;
    r.cmdLine = "Banner\n./Ruzaravo -i a.fa ";
    r.motifNum = 2;
    r.bgFreqs = {0.3, 0.2, 0.2, 0.3};
    SequenceResult a, b;
    a.name = ">" + firstName + " first";
    a.id = firstName;
    a.length = 20;
    a.moduleProb.assign(20, 0.0);
    for (int p = 2; p < 12; p++)
        a.moduleProb[p] = 0.75;
    b.name = ">b";
    b.id = "b";
    b.length = 10;
    b.moduleProb.assign(10, 0.25);
    r.seqs = {a, b};
    MotifResult m;
    m.index = 0;
    m.printed = true;
    m.width = 4;
    m.siteCount = 3;
    m.counts = {{{3, 0, 0, 0}}, {{0, 2, 1, 0}}, {{0, 0, 3, 0}}, {{1, 0, 0, 2}}};
    m.consensus = "ACGT";
    m.sites = {{0, 4, true, "ACGT", 9, 0.9}, {0, 9, false, "AGGT", 13, 1.3}, {1, 0, true, "ACGA", 5, 0.5}};
    MotifResult n;
    n.index = 1;
    n.width = 6;
    r.motifs = {m, n};
    r.modules = {{0, 2, 12, 12, {}}};
    return r;
}

}  // namespace

TEST(Writers, ExactFilesOfASmallRecord)
{
    std::vector<RunResult> runs = {SmallRecord("a")};
    EXPECT_EQ("MEME version 4\n\nALPHABET= ACGT\n\nstrands: + -\n\n"
              "Background letter frequencies\nA 0.300000 C 0.200000 G 0.200000 T 0.300000\n\n"
              "MOTIF r1.m1 ACGT\nletter-probability matrix: alength= 4 w= 4 nsites= 3\n"
              " 1.000000 0.000000 0.000000 0.000000\n 0.000000 0.666667 0.333333 0.000000\n"
              " 0.000000 0.000000 1.000000 0.000000\n 0.333333 0.000000 0.000000 0.666667\n\n",
              FormatMeme(runs));
    EXPECT_EQ(">r1.m1 ACGT\nA [ 3 0 0 1 ]\nC [ 0 2 0 0 ]\nG [ 0 1 3 0 ]\nT [ 0 0 0 2 ]\n", FormatJaspar(runs));
    EXPECT_EQ("a\t4\t8\tr1.m1\t900\t+\n"
              "a\t9\t13\tr1.m1\t1000\t-\n"
              "b\t0\t4\tr1.m1\t500\t+\n",
              FormatSitesBed(runs, false));
    EXPECT_EQ("a\t2\t12\tr1.crm1\t750\t.\n", FormatModulesBed(runs, false));
    EXPECT_EQ("track type=bedGraph name=\"r1.modpr\" description=\"module probability, run 1\"\n"
              "a\t0\t2\t0.000\na\t2\t12\t0.750\na\t12\t20\t0.000\nb\t0\t10\t0.250\n",
              FormatModPrBedGraph(runs, false));
    EXPECT_EQ("##gff-version 3\n##sequence-region a 1 20\n##sequence-region b 1 10\n"
              "a\tRuzaravo\tCRM\t3\t12\t.\t.\t.\tID=r1.crm1;Ontology_term=SO:0000727;run=1\n"
              "a\tRuzaravo\tTF_binding_site\t5\t8\t0.900\t+\t.\tID=r1.m1.s1;Parent=r1.crm1;"
              "Ontology_term=SO:0000235;motif=r1.m1;posterior=0.900;run=1\n"
              "a\tRuzaravo\tTF_binding_site\t10\t13\t1.300\t-\t.\tID=r1.m1.s2;"
              "Ontology_term=SO:0000235;motif=r1.m1;posterior=1.300;run=1\n"
              "b\tRuzaravo\tTF_binding_site\t1\t4\t0.500\t+\t.\tID=r1.m1.s3;"
              "Ontology_term=SO:0000235;motif=r1.m1;posterior=0.500;run=1\n",
              FormatGff3(runs, false));
}

// A run that measured enrichment adds exactly MEME's E= value and each
// motif's "enrichment" (null when the motif could not be measured); the
// rest of both files is what a run without it gives, which the exact text
// above pins. p-values are printed from their log10, so one below the
// smallest double keeps its size.
TEST(Writers, EnrichmentOnlyWhenMeasured)
{
    RunResult plain = SmallRecord("a");
    const std::string plainMeme = FormatMeme({plain}), plainJson = FormatSummaryJson({plain}, false);
    EXPECT_EQ(std::string::npos, plainJson.find("enrichment"));

    RunResult r = plain;
    r.enrichment = true;
    r.motifs[0].enrichment = {true, 2.5, 1000, 30, 2000, 9, 6.2, -4.5};
    std::string meme = plainMeme;
    meme.replace(meme.find("nsites= 3\n"), 9, "nsites= 3 E= 3.2e-05");
    EXPECT_EQ(meme, FormatMeme({r}));
    const std::string field = "\"seed_matrix\": null";
    std::string json = plainJson;
    json.insert(json.find(field) + field.size(),
                ",\n          \"enrichment\": {\"threshold\": 2.5, \"input_windows\": 1000, \"input_hits\": 30, "
                "\"control_windows\": 2000, \"control_hits\": 9, \"ratio\": 6.2, \"log10_p\": -4.5}");
    EXPECT_EQ(json, FormatSummaryJson({r}, false));

    r.motifs[0].enrichment.measured = false;
    EXPECT_EQ(plainMeme, FormatMeme({r}));
    EXPECT_NE(std::string::npos, FormatSummaryJson({r}, false).find(field + ",\n          \"enrichment\": null,\n"));

    EXPECT_EQ("1.0e+00", PowerOfTenText(0));
    EXPECT_EQ("1.0e-05", PowerOfTenText(-5));
    EXPECT_EQ("1.0e-05", PowerOfTenText(-5.0001));   // 9.998e-06 rounds up into the next power
    EXPECT_EQ("9.9e-06", PowerOfTenText(-5.003));
    EXPECT_EQ("4.1e-412", PowerOfTenText(-411.387));
    EXPECT_EQ("0", PowerOfTenText(-INFINITY));
}

// In genome mode a chrom:start-end name shifts every coordinate by start.
TEST(Writers, GenomeCoordinatesShiftByTheNamedStart)
{
    RunResult r = SmallRecord("chr2L:1000-1020");
    r.seqs[1].id = "chr2L:5000-5010(+)";
    std::vector<RunResult> runs = {r};
    EXPECT_EQ("chr2L\t1004\t1008\tr1.m1\t900\t+\n"
              "chr2L\t1009\t1013\tr1.m1\t1000\t-\n"
              "chr2L\t5000\t5004\tr1.m1\t500\t+\n",
              FormatSitesBed(runs, true));
    EXPECT_EQ("chr2L\t1002\t1012\tr1.crm1\t750\t.\n", FormatModulesBed(runs, true));
    std::string gff = FormatGff3(runs, true);
    EXPECT_EQ(0u, gff.find("##gff-version 3\n##sequence-region chr2L 1001 5010\nchr2L\tRuzaravo\tCRM\t1003\t1012\t"));
    EXPECT_NE(std::string::npos, FormatModPrBedGraph(runs, true).find("chr2L\t1002\t1012\t0.750\n"));
    // Without --genome-coords the name is only a name.
    EXPECT_EQ(0u, FormatSitesBed(runs, false).find("chr2L:1000-1020\t4\t8\t"));
}

TEST(Writers, GenomeNamesAreReadStrictly)
{
    struct NAMECASE {
        std::string Word;
        bool Parses;
        std::string Chrom;
        long long Offset;
    };
    const NAMECASE cases[] = {
        {"chr1:100-200", true, "chr1", 100},
        {"chrUn_KI270302v1:0-5", true, "chrUn_KI270302v1", 0},
        {"HLA-A*01:01:1-9", true, "HLA-A*01:01", 1},        // the last colon separates
        {"peak7::chrX:20-30", true, "chrX", 20},             // bedtools getfasta -name
        {"chr3:5-9(+)", true, "chr3", 5},                    // bedtools getfasta -s, plus strand
        {"chr3:5-9(-)", false, "", 0},                       // minus strand runs backwards
        {"chr1:200-100", false, "", 0},
        {"chr1:100-100", false, "", 0},
        {"chr1:100", false, "", 0},
        {"chr1:-5-10", false, "", 0},
        {":1-5", false, "", 0},
        {"chr1:1-5x", false, "", 0},
        {"chr1:99999999999999999999-1", false, "", 0},
        {"plain", false, "", 0},
        {"", false, "", 0},
    };
    for (const NAMECASE& c : cases) {
        SeqPlace place;
        EXPECT_EQ(c.Parses, ParseGenomeName(c.Word, &place)) << c.Word;
        if (c.Parses) {
            EXPECT_EQ(c.Chrom, place.chrom) << c.Word;
            EXPECT_EQ(c.Offset, place.offset) << c.Word;
            EXPECT_GT(place.span, 0) << c.Word;
        }
    }
}

TEST(Writers, JsonStringsAndGffSeqidsAreEscaped)
{
    EXPECT_EQ("\"a\\\"b\\\\c\"", JsonString("a\"b\\c"));
    EXPECT_EQ("\"tab\\u0009nl\\u000a\"", JsonString("tab\tnl\n"));
    EXPECT_EQ("\"caf\xc3\xa9\"", JsonString("caf\xc3\xa9"));               // valid UTF-8 kept
    EXPECT_EQ("\"bad\\u00e9\\u00ff\"", JsonString("bad\xe9\xff"));          // invalid bytes escaped
    EXPECT_EQ("\"\\u00e2\\u0082\"", JsonString("\xe2\x82"));                // cut-off sequence
    EXPECT_EQ("\"\\u00e0\\u0080\\u0080\"", JsonString("\xe0\x80\x80"));    // overlong form
    EXPECT_EQ("\"\\u00ed\\u00a0\\u0080\"", JsonString("\xed\xa0\x80"));    // a surrogate
    EXPECT_EQ("\"\xf0\x9f\x98\x80\"", JsonString("\xf0\x9f\x98\x80"));            // U+1F600 kept
    EXPECT_EQ("chr1%20x%3Bid%3D1", GffSeqid("chr1 x;id=1"));
    EXPECT_EQ("chrUn_KI270302v1|a.b:c-d", GffSeqid("chrUn_KI270302v1|a.b:c-d"));
    EXPECT_EQ(0, BedScore(-1));
    EXPECT_EQ(0, BedScore(0.0 / 0.0));
    EXPECT_EQ(1000, BedScore(4.2));
    EXPECT_EQ(1, BedScore(0.0005));
}

// For records of random lengths and tallies: the bedGraph lines of each
// sequence tile 0..length without gaps, neighbouring lines differ in
// value, and every position reads the value the companion file prints.
TEST(Writers, BedGraphTilesEverySequenceWithMergedValues)
{
    unsigned state = 12345;
    auto next = [&](unsigned n) {
        state = state * 1103515245u + 12345u;
        return (state >> 16) % n;
    };
    for (int trial = 0; trial < 200; trial++) {
        RunResult r;
        int seqs = 1 + next(4), samples = 1 + next(12);
        for (int j = 0; j < seqs; j++) {
            SequenceResult s;
            s.id = "s" + std::to_string(j);
            s.length = next(60);
            int v = next(samples + 1);
            for (int p = 0; p < s.length; p++) {
                if (next(5) == 0)
                    v = next(samples + 1);
                s.moduleProb.push_back(v / (double)samples);
            }
            r.seqs.push_back(s);
        }
        std::istringstream in(FormatModPrBedGraph({r}, false));
        std::string line;
        std::getline(in, line);   // track line
        std::vector<long long> covered(seqs, 0);
        std::string lastValue;
        int lastSeq = -1;
        while (std::getline(in, line)) {
            char chrom[32], value[32];
            long long from, to;
            ASSERT_EQ(4, sscanf(line.c_str(), "%31s %lld %lld %31s", chrom, &from, &to, value)) << line;
            int j = atoi(chrom + 1);
            ASSERT_EQ(covered[j], from) << line;   // no gap, no overlap, in order
            ASSERT_LT(from, to) << line;
            if (j == lastSeq) {
                EXPECT_NE(lastValue, value) << line;   // equal neighbours are merged
            }
            for (long long p = from; p < to; p++) {
                char expected[32];
                snprintf(expected, sizeof expected, "%.3f", r.seqs[j].moduleProb[p]);
                ASSERT_STREQ(expected, value) << line << " at " << p;
            }
            covered[j] = to;
            lastSeq = j;
            lastValue = value;
        }
        for (int j = 0; j < seqs; j++)
            EXPECT_EQ(r.seqs[j].length, covered[j]);
    }
}

// The four-word form "name chrom start end": the letter count tells 1-based
// inclusive from 0-based half-open; any other count, or another number of
// words, is not a place. A chrom:start-end first word comes first.
TEST(Writers, FourWordNamesTellTheirConventionByLength)
{
    struct SPANCASE {
        std::string Name;
        long long Letters;
        bool Places;
        std::string Chrom;
        long long Offset;
    };
    const SPANCASE cases[] = {
        {">hb_HZ340 3R 4526519 4526862", 344, true, "3R", 4526518},   // 1-based, end included
        {">hb_HZ340 3R 4526519 4526862", 343, true, "3R", 4526519},   // 0-based, end excluded
        {">hb_HZ340 3R 4526519 4526862", 345, false, "", 0},
        {">x chr1 0 10", 10, true, "chr1", 0},
        {">x chr1 0 10", 11, false, "", 0},                             // a 1-based start is at least 1
        {">x chr1 5 10\r", 6, true, "chr1", 4},                         // a CR before the line break
        {">x chr1 5 10 extra", 6, false, "", 0},
        {">x chr1 5", 1, false, "", 0},
        {">x chr1 10 5", 6, false, "", 0},
        {">x chr1 5 1e2", 6, false, "", 0},
        {">chr2:100-110 chr9 1 10", 10, true, "chr2", 100},             // the getfasta word wins
    };
    for (const SPANCASE& c : cases) {
        SeqPlace place;
        std::string word = c.Name.substr(1, c.Name.find(' ') - 1);
        EXPECT_EQ(c.Places, ParseNamedPlace(word, c.Name, c.Letters, &place)) << c.Name << " " << c.Letters;
        if (c.Places) {
            EXPECT_EQ(c.Chrom, place.chrom) << c.Name;
            EXPECT_EQ(c.Offset, place.offset) << c.Name;
        }
    }
    // Placed through the writers: the 1-based name shifts by start - 1.
    RunResult r = SmallRecord("enh");
    r.seqs[0].name = ">enh 2L 1001 1020";
    r.seqs[1].name = ">b 2L 5000 5010";   // 10 letters: 0-based
    EXPECT_EQ("2L\t1004\t1008\tr1.m1\t900\t+\n"
              "2L\t1009\t1013\tr1.m1\t1000\t-\n"
              "2L\t5000\t5004\tr1.m1\t500\t+\n",
              FormatSitesBed({r}, true));
}

// Records sharing a first word get numbered references in local
// coordinates (the n-th gets _n, or the next number no record bears);
// genome coordinates are untouched.
TEST(Writers, SharedNamesGetNumberedReferences)
{
    RunResult r;
    for (const char* id : {"a", "b", "a", "a_2", "a", "b"}) {
        SequenceResult s;
        s.id = id;
        s.name = std::string(">") + id;
        s.length = 5;
        r.seqs.push_back(s);
    }
    std::vector<std::string> got;
    for (const SeqPlace& p : PlacesOf(r, false))
        got.push_back(p.chrom);
    EXPECT_EQ((std::vector<std::string>{"a", "b", "a_3", "a_2", "a_4", "b_2"}), got);
    // One sequence-region per sequence, so the GFF3 spans no longer merge.
    EXPECT_EQ("##gff-version 3\n##sequence-region a 1 5\n##sequence-region b 1 5\n##sequence-region a_3 1 5\n"
              "##sequence-region a_2 1 5\n##sequence-region a_4 1 5\n##sequence-region b_2 1 5\n",
              Gff3Header(&r, false));
    // Distinct names keep their references exactly.
    RunResult plain = SmallRecord("a");
    EXPECT_EQ("a", PlacesOf(plain, false)[0].chrom);
    EXPECT_EQ("b", PlacesOf(plain, false)[1].chrom);
}

// Genome-coordinate lines in the order of LC_ALL=C sort -s -k1,1 -k2,2n,
// checked against sort itself over random lines (names that differ in
// case, length and punctuation; equal starts; multi-digit starts).
TEST(Writers, GenomeLinesSortAsSortDoes)
{
    if (!HaveTool("sort"))
        GTEST_SKIP() << "sort (coreutils) missing";
    std::mt19937 gen(23);
    const char* chroms[] = {"chr1", "chr10", "chr2", "Chr2", "chrX", "chr1_random", "2L", "2R", "3R", "chr1.1"};
    CTempDir dir;
    for (int trial = 0; trial < 20; trial++) {
        std::string text;
        for (int n = 0; n < 50; n++) {
            int start = std::uniform_int_distribution<int>(0, trial % 2 ? 30 : 200000)(gen);
            text += std::string(chroms[gen() % 10]) + "\t" + std::to_string(start) + "\t" +
                    std::to_string(start + 5) + "\tline" + std::to_string(n) + "\n";
        }
        WriteFile(dir.Path("in.bed"), text);
        TOOLRUN sorted = RunTool(dir.m_Dir, "LC_ALL=C sort -s -t \"$(printf '\\t')\" -k1,1 -k2,2n in.bed");
        ASSERT_EQ(0, sorted.Status) << sorted.Output;
        EXPECT_EQ(sorted.Output, SortedByPlace(text, 2)) << "trial " << trial;
    }
    // GFF3 keys on column 4; sequences out of genome order come out sorted.
    EXPECT_EQ("c\t.\t.\t2\nc\t.\t.\t10\nd\t.\t.\t1\n", SortedByPlace("d\t.\t.\t1\nc\t.\t.\t10\nc\t.\t.\t2\n", 4));
    RunResult r = SmallRecord("chr2:900-920");
    r.seqs[1].id = "chr1:10-20";
    EXPECT_EQ(0u, FormatSitesBed({r}, true).find("chr1\t10\t14\tr1.m1\t500\t+\nchr2\t904\t"));
    std::string bedGraph = FormatModPrBedGraph({r}, true);
    EXPECT_EQ(0u, bedGraph.find("track type=bedGraph name=\"r1.modpr\" description=\"module probability, run 1\"\n"
                                "chr1\t10\t20\t0.250\nchr2\t900\t902\t0.000\n"));
}
