// The scan from the command line: sorted BED files that bedtools reads and
// sorts to the same order, coordinates placed on the genome, the planted
// clusters found in both chromosomes, the same files from gzip, standard
// input, chunks and threads, and every refused input leaving nothing behind.
#include <gtest/gtest.h>

#include <cctype>
#include <iostream>

#include "scan/ScanTestUtil.h"
#include "support/TestSupport.h"

namespace {

struct ScanFolder {
    CTempDir dir;
    std::string fasta;
    ScanFolder()
    {
        std::string b = RandomLetters(31, 12000), a = RandomLetters(32, 12000);
        PlantCluster(&b, 7000, 200);
        PlantCluster(&a, 3000, 200);
        // chrB first: the files must still come out sorted by chrom.
        fasta = ">chrB:1000-13000\n" + b + "\n>chrA:500-12500 second piece\n" + a + "\n";
        WriteFile(dir.Path("target.fa"), fasta);
        WriteFile(dir.Path("motifs.txt"), TestMotifFile());
    }
    ShellRun Scan(const std::string& args) const
    {
        return Shell("cd '" + dir.m_Dir + "' && " + RUZARAVO_EXE + " --motifs motifs.txt --null-tiles 1000 " + args);
    }
};

bool Overlaps(const std::vector<std::string>& f, const std::string& chrom, long long a, long long b)
{
    return f[0] == chrom && std::stoll(f[1]) < b && std::stoll(f[2]) > a;
}

}  // namespace

TEST(ScanCommand, SortedBedFilesPlacedOnTheGenomeThatBedtoolsReads)
{
    ScanFolder f;
    ShellRun r = f.Scan("--scan target.fa --genome-coords --outdir out");
    ASSERT_EQ(0, r.status) << r.output;
    EXPECT_EQ(1u, Lines(r.output).size()) << r.output;
    EXPECT_EQ(0u, r.output.find("Scanned 24000 letters in 2 sequences: ")) << r.output;

    std::vector<std::string> modules = Lines(ReadFile(f.dir.Path("out/modules.bed")));
    ASSERT_GE(modules.size(), 2u);
    bool foundA = false, foundB = false;
    for (const std::string& line : modules) {
        std::vector<std::string> x = Fields(line);
        ASSERT_EQ(9u, x.size()) << line;
        EXPECT_EQ(200, std::stoll(x[2]) - std::stoll(x[1]));
        EXPECT_EQ(".", x[5]);
        EXPECT_LE(std::stod(x[7]), 0.05);   // the default --max-q
        foundA = foundA || Overlaps(x, "chrA", 500 + 3000, 500 + 3200);
        foundB = foundB || Overlaps(x, "chrB", 1000 + 7000, 1000 + 7200);
    }
    EXPECT_TRUE(foundA && foundB) << ReadFile(f.dir.Path("out/modules.bed"));
    EXPECT_EQ("chrA", Fields(modules[0])[0]);
    for (const char* name : {"modules.bed", "sites.bed", "modpr.bedgraph"}) {
        ShellRun sorted = Shell("bedtools sort -i '" + f.dir.Path(std::string("out/") + name) + "'");
        ASSERT_EQ(0, sorted.status) << name << ": " << sorted.output;
        EXPECT_EQ(ReadFile(f.dir.Path(std::string("out/") + name)), sorted.output) << name;
    }
    if (Shell("command -v gt").status == 0) {
        ShellRun gt = Shell("gt gff3validator '" + f.dir.Path("out/annotations.gff3") + "'");
        EXPECT_EQ(0, gt.status) << gt.output;
    } else {
        std::cout << "genometools (gt) is not installed: the GFF3 file is not validated\n";
    }
    const std::string gff = ReadFile(f.dir.Path("out/annotations.gff3"));
    EXPECT_NE(std::string::npos, gff.find("\tRuzaravo\tCRM\t")) << gff;
    EXPECT_NE(std::string::npos, gff.find(";Parent=crm1;Ontology_term=SO:0000235;motif=")) << gff;
    // Every reported site lies inside the module it names.
    ShellRun inside = Shell("cd '" + f.dir.m_Dir +
                            "' && bedtools intersect -u -f 1.0 -a out/sites.bed -b out/modules.bed | wc -l");
    EXPECT_EQ(std::to_string(Lines(ReadFile(f.dir.Path("out/sites.bed"))).size()) + "\n", inside.output);
    ShellRun json = Shell("python3 -c \"import json; d = json.load(open('" + f.dir.Path("out/summary.json") +
                          "')); print(d['counts']['reported'], d['counts']['letters'], d['top_modules'][0]['name'])\"");
    EXPECT_EQ(std::to_string(modules.size()) + " 24000 crm1\n", json.output);
}

TEST(ScanCommand, GzipStandardInputChunksAndThreadsGiveTheSameFiles)
{
    ScanFolder f;
    WriteFile(f.dir.Path("target.fa.gz"), GzipText(f.fasta));
    ASSERT_EQ(0, f.Scan("--scan target.fa --outdir plain --max-p 0.5").status);
    ASSERT_EQ(0, f.Scan("--scan target.fa.gz --outdir gz --max-p 0.5").status);
    ASSERT_EQ(0, f.Scan("--scan - --outdir stdin --max-p 0.5 < target.fa").status);
    ASSERT_EQ(0, f.Scan("--scan target.fa --outdir chunks --max-p 0.5 --chunk-size 1000 --threads 2").status);
    ASSERT_FALSE(ReadFile(f.dir.Path("plain/modules.bed")).empty());
    for (const char* other : {"gz", "stdin", "chunks"})
        for (const char* name : {"modules.bed", "sites.bed", "modpr.bedgraph", "annotations.gff3", "report.html"})
            EXPECT_EQ(ReadFile(f.dir.Path(std::string("plain/") + name)),
                      ReadFile(f.dir.Path(std::string(other) + "/" + name)))
                << other << "/" << name;
}

// A genome read as it streams: several records gzip-compressed through a
// pipe give the files of the plain file, and small scaffolds shorter than
// a module are skipped with a warning naming them, the rest scanned as if
// they were not there.
TEST(ScanCommand, StreamedGzipPipeAndShortScaffolds)
{
    ScanFolder f;
    const std::string scaffold = ">scaffold_9\nACGTTGCAAC\n";
    WriteFile(f.dir.Path("target.fa.gz"), GzipText(f.fasta.substr(0, 5000)) + GzipText(f.fasta.substr(5000)));
    WriteFile(f.dir.Path("scaffolds.fa"), scaffold + f.fasta + scaffold + ">scaffold_10 x\nACGT\n");
    ASSERT_EQ(0, f.Scan("--scan target.fa --outdir plain --max-p 0.5").status);
    ShellRun pipe = Shell("cd '" + f.dir.m_Dir + "' && cat target.fa.gz | " + RUZARAVO_EXE +
                          " --motifs motifs.txt --null-tiles 1000 --scan - --outdir pipe --max-p 0.5 "
                          "--chunk-size 3000 --threads 2");
    ASSERT_EQ(0, pipe.status) << pipe.output;
    ShellRun skip = f.Scan("--scan scaffolds.fa --outdir skip --max-p 0.5");
    ASSERT_EQ(0, skip.status) << skip.output;
    EXPECT_NE(std::string::npos,
              skip.output.find("Ruzaravo scan: warning: sequence scaffold_9 has 10 letters, fewer than the module "
                               "length 200: skipped"))
        << skip.output;
    EXPECT_NE(std::string::npos, skip.output.find("sequence scaffold_10 has 4 letters")) << skip.output;
    ASSERT_FALSE(ReadFile(f.dir.Path("plain/modules.bed")).empty());
    for (const char* other : {"pipe", "skip"})
        for (const char* name : {"modules.bed", "sites.bed", "modpr.bedgraph", "annotations.gff3", "report.html"})
            EXPECT_EQ(ReadFile(f.dir.Path(std::string("plain/") + name)),
                      ReadFile(f.dir.Path(std::string(other) + "/" + name)))
                << other << "/" << name;
}

TEST(ScanCommand, RefusedInputsSayWhyAndWriteNothing)
{
    ScanFolder f;
    WriteFile(f.dir.Path("empty.txt"), "no matrices in here\n");
    WriteFile(f.dir.Path("noletters.fa"), ">only a name\n\n");
    WriteFile(f.dir.Path("short.fa"), ">chrTiny\nACGTACGTAC\n>chrShort\nACGTACGTACGT\n");
    WriteFile(f.dir.Path("empty.fa"), "");
    WriteFile(f.dir.Path("allN.fa"), ">chrN\n" + std::string(500, 'N') + "\n");
    struct Case {
        std::string args, message;
    } cases[] = {
        {"--scan target.fa --motifs empty.txt", "no matrix found"},
        {"--scan noletters.fa", "noletters.fa: no sequence letters"},
        {"--scan empty.fa", "empty.fa: the file is empty"},
        {"--scan allN.fa", "only 0 letters are A, C, G or T"},
        {"--scan short.fa", "sequence chrTiny has 10 letters, fewer than the module length 200"},
        {"--scan short.fa --genome-coords", "is not named chrom:start-end"},
        {"--scan target.fa --module-length 10", "does not fit in a module of 10 letters"},
        {"--scan target.fa --site-rate 0.4", "no room for background letters"},
        {"--scan target.fa --module-rate 2", "--module-rate 2: expected a number above 0 and at most 0.5"},
        {"--scan target.fa --bogus", "unknown option --bogus"},
        {"--scan target.fa --threads", "--threads needs a value"},
        {"--scan missing.fa", "missing.fa"},
        {"--scan target.fa --only chrC", "--only chrC: target.fa holds no sequence of that name"},
        {"--scan target.fa --only chrA:500-12500,", "expected sequence names separated by commas"},
    };
    for (const Case& c : cases) {
        ShellRun r = f.Scan(c.args + " --outdir out");
        EXPECT_EQ(1, r.status) << c.args;
        EXPECT_EQ(0u, r.output.find("Ruzaravo scan: ")) << c.args << ": " << r.output;
        EXPECT_NE(std::string::npos, r.output.find(c.message)) << c.args << ": " << r.output;
        EXPECT_EQ(1u, Lines(r.output).size()) << c.args << ": " << r.output;
        EXPECT_FALSE(FileExists(f.dir.Path("out"))) << c.args;
    }
    ShellRun r = Shell(std::string(RUZARAVO_EXE) + " --scan x.fa --motifs m.txt");
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.output.find("needs --outdir DIR"));
    // A folder already holding files is kept unless --force.
    ASSERT_EQ(0, f.Scan("--scan target.fa --outdir out").status);
    EXPECT_EQ(1, f.Scan("--scan target.fa --outdir out").status);
    EXPECT_EQ(0, f.Scan("--scan target.fa --outdir out --force").status);
}

// Chromosome, start, end, score and p of every module of a scan's folder.
static std::vector<std::string> ModuleScores(const std::string& bed)
{
    std::vector<std::string> out;
    for (const std::string& line : Lines(bed)) {
        std::vector<std::string> x = Fields(line);
        out.push_back(x[0] + " " + x[1] + " " + x[2] + " " + x[4] + " " + x[6]);
    }
    return out;
}

// Scanning the sequences of a file one by one with --only gives, together,
// every call of the whole file's scan with its score and p-value: the
// null and the chain are the whole file's. The same sequence as a file of
// its own has a null of its own, and other p-values.
TEST(ScanCommand, OnlySomeSequencesKeepTheWholeFilesNull)
{
    ScanFolder f;
    ASSERT_EQ(0, f.Scan("--scan target.fa --outdir whole --max-p 1").status);
    ShellRun b = f.Scan("--scan target.fa --outdir b --max-p 1 --only chrB:1000-13000");
    ShellRun a = f.Scan("--scan target.fa --outdir a --max-p 1 --only=chrA:500-12500,chrA:500-12500");
    ASSERT_EQ(0, a.status) << a.output;
    ASSERT_EQ(0, b.status) << b.output;
    EXPECT_EQ(0u, a.output.find("Scanned 12000 letters in 1 sequences: ")) << a.output;
    std::vector<std::string> whole = ModuleScores(ReadFile(f.dir.Path("whole/modules.bed")));
    std::vector<std::string> pieces = ModuleScores(ReadFile(f.dir.Path("b/modules.bed")));
    std::vector<std::string> inA = ModuleScores(ReadFile(f.dir.Path("a/modules.bed")));
    ASSERT_FALSE(inA.empty());
    ASSERT_FALSE(pieces.empty());
    for (const std::string& m : inA)
        EXPECT_EQ(0u, m.find("chrA:500-12500 ")) << m;
    pieces.insert(pieces.begin(), inA.begin(), inA.end());   // chrA sorts first in the whole file's
    EXPECT_EQ(whole, pieces);

    WriteFile(f.dir.Path("a.fa"), f.fasta.substr(f.fasta.find(">chrA")));
    ASSERT_EQ(0, f.Scan("--scan a.fa --outdir own --max-p 1").status);
    std::vector<std::string> own = ModuleScores(ReadFile(f.dir.Path("own/modules.bed")));
    EXPECT_NE(inA, own);
}

// Soft-masked letters are read as N with --mask-lower: a cluster in
// lower case is found only without it; runs of N hold no site.
TEST(ScanCommand, MaskedLettersAndNRunsHoldNoSite)
{
    ScanFolder f;
    std::string s = RandomLetters(41, 12000);
    PlantCluster(&s, 3000, 200);
    PlantCluster(&s, 8000, 200);
    for (size_t i = 2950; i < 3250; i++)
        s[i] = (char)tolower(s[i]);
    s.replace(5000, 2000, std::string(2000, 'N'));
    WriteFile(f.dir.Path("masked.fa"), ">chrM\n" + s + "\n");
    ASSERT_EQ(0, f.Scan("--scan masked.fa --outdir plain").status);
    ASSERT_EQ(0, f.Scan("--scan masked.fa --mask-lower --outdir masked").status);
    auto overlapping = [&](const std::string& file, long long a, long long b) {
        int n = 0;
        for (const std::string& line : Lines(ReadFile(f.dir.Path(file))))
            n += Overlaps(Fields(line), "chrM", a, b);
        return n;
    };
    EXPECT_EQ(1, overlapping("plain/modules.bed", 3000, 3200));
    EXPECT_EQ(0, overlapping("masked/modules.bed", 3000, 3200));
    EXPECT_EQ(0, overlapping("masked/sites.bed", 2950, 3250));
    EXPECT_EQ(1, overlapping("masked/modules.bed", 8000, 8200));
    EXPECT_EQ(0, overlapping("plain/sites.bed", 5000, 7000));
    EXPECT_EQ(0, overlapping("plain/modpr.bedgraph", 5200, 6800));
}

// --model takes the motifs and parameters of a discovery run's folder;
// options given on the command line override them; another format_version
// or both --model and --motifs are refused.
TEST(ScanCommand, ModelFolderOfADiscoveryRun)
{
    ScanFolder f;
    std::string train;
    for (unsigned i = 0; i < 12; i++) {
        std::string s = RandomLetters(70 + i, 600);
        PlantCluster(&s, 200, 200);
        train += ">t" + std::to_string(i) + "\n" + s + "\n";
    }
    WriteFile(f.dir.Path("train.fa"), train);
    ShellRun d = Shell("cd '" + f.dir.m_Dir + "' && " + RUZARAVO_EXE +
                       " -i train.fa -K 3 -n 200 --seed 4 -o disc.txt --outdir disc");
    ASSERT_EQ(0, d.status) << d.output;
    ShellRun r = Shell("cd '" + f.dir.m_Dir + "' && " + RUZARAVO_EXE +
                       " --scan target.fa --model disc --null-tiles 500 --max-p 0.01 --outdir out");
    ASSERT_EQ(0, r.status) << r.output;
    std::string summary = ReadFile(f.dir.Path("out/summary.json"));
    EXPECT_NE(std::string::npos, summary.find("\"motif_file\": \"disc/summary.json\"")) << summary;
    EXPECT_NE(std::string::npos, summary.find("\"module_length\": 200, \"module_rate\": ")) << summary;
    EXPECT_EQ(std::string::npos, summary.find("\"module_rate\": 0.0005,")) << "the run's rate, not the default";
    r = Shell("cd '" + f.dir.m_Dir + "' && " + RUZARAVO_EXE +
              " --scan target.fa --model disc --module-length 150 --module-rate 0.001 --null-tiles 500 --outdir out2");
    ASSERT_EQ(0, r.status) << r.output;
    EXPECT_NE(std::string::npos,
              ReadFile(f.dir.Path("out2/summary.json")).find("\"module_length\": 150, \"module_rate\": 0.001,"));

    Shell("cd '" + f.dir.m_Dir + "' && mkdir v2 && sed 's/\"format_version\": 1/\"format_version\": 2/' "
          "disc/summary.json > v2/summary.json");
    r = Shell("cd '" + f.dir.m_Dir + "' && " + RUZARAVO_EXE + " --scan target.fa --model v2 --outdir out3");
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.output.find("format_version 2, but this program reads format_version 1"))
        << r.output;
    r = Shell("cd '" + f.dir.m_Dir + "' && " + RUZARAVO_EXE +
              " --scan target.fa --model disc --motifs motifs.txt --outdir out3");
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.output.find("either --motifs FILE"));
    EXPECT_FALSE(FileExists(f.dir.Path("out3")));
}

TEST(ScanCommand, HelpListsEveryOptionWithItsDefault)
{
    ShellRun r = Shell(std::string(RUZARAVO_EXE) + " --scan --help");
    EXPECT_EQ(0, r.status);
    for (const char* text : {"--motifs FILE", "--model DIR", "--outdir DIR", "(default 200)", "(default 0.0005)",
                             "(default 0.01, or 0.045 / K",
                             "--local-composition R", "(default 250; 0: none)",
                             "(default 0.05)", "--max-p P", "(default 1; 0 .. 5)", "(default 20000",
                             "--mask-lower", "--genome-coords", "--quiet", "--threads N", "--seed N", "--only NAME"})
        EXPECT_NE(std::string::npos, r.output.find(text)) << text;
}
