// The output folder through the executable, read by the tools it is made
// for: bedtools extracts exactly the reported site words from sites.bed and
// accepts modules.bed and modpr.bedgraph, gt validates annotations.gff3,
// Biopython reads motifs.meme and motifs.jaspar with the matrices of
// summary.json, which validates against its schema. Also: the folder's
// result files equal what -o appends, every run is in every file, a
// non-empty folder is refused without --force, and genome coordinates land
// on the genome, in the order bedtools sort gives (also for the shipped
// example's "name chrom start end" headers), and --force clears the stale
// files of an earlier run and only those. With --control, enrichment reaches summary.json,
// motifs.meme and the report, and only there. A missing tool skips its
// test with a message.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "ToolRun.h"
#include "analysis/Enrichment.h"
#include "output/OutputFolder.h"
#include "support/TestSupport.h"

namespace {

const std::string kSource = RUZARAVO_SOURCE_DIR;
const std::string kFly = kSource + "/examples/fly_crms.fasta";
const std::string kSchema = kSource + "/output/summary.schema.json";

std::string RevComp(const std::string& s)
{
    std::string out(s.rbegin(), s.rend());
    for (char& c : out)
        c = c == 'A' ? 'T' : c == 'C' ? 'G' : c == 'G' ? 'C' : c == 'T' ? 'A' : c;
    return out;
}

// Reported sites of a result file as "id start strand word", one per site.
std::vector<std::string> ResultSites(const std::string& result)
{
    std::vector<std::string> lines = Lines(result), sites;
    for (size_t i = 0; i + 1 < lines.size(); i++) {
        std::vector<std::string> f = Fields(lines[i]);
        if (lines[i][0] != '>' || f.size() != 5 || (f[1] != "f" && f[1] != "r"))
            continue;
        std::string id = f[0].substr(1, f[0].find(' ') - 1);
        sites.push_back(id + " " + f[2] + " " + (f[1] == "f" ? "+" : "-") + " " + lines[i + 1]);
    }
    std::sort(sites.begin(), sites.end());
    return sites;
}

// The folder of two runs on the fly example (with -o as well), made once.
struct FLYFOLDER {
    CTempDir Dir;
    RUNRESULT Run;
    FLYFOLDER()
    {
        WriteFile(Dir.Path("fly.fa"), ReadFile(kFly));
        Run = RunRuzaravo({"-i", "fly.fa", "-n", "100", "-K", "3", "-B", "-N", "2", "--seed", "4", "-o",
                           "plain.txt", "--outdir", "out"},
                          Dir.m_Dir);
    }
    std::string Out(const std::string& name) const { return ReadFile(Dir.Path("out/" + name)); }
};

void ExpectFilesHoldEveryRun(const FLYFOLDER& f)
{
    EXPECT_EQ(ReadFile(f.Dir.Path("plain.txt")), f.Out("result.txt"));
    EXPECT_EQ(ReadFile(f.Dir.Path("plain.txt_modpr.txt")), f.Out("result.txt_modpr.txt"));
    for (const char* name : {"motifs.meme", "motifs.jaspar", "sites.bed", "modules.bed", "annotations.gff3",
                             "modpr.bedgraph", "summary.json"}) {
        std::string text = f.Out(name);
        EXPECT_NE(std::string::npos, text.find("r1.")) << name;
        EXPECT_NE(std::string::npos, text.find("r2.")) << name;
    }
    // Nothing else is left in the folder (no temporary files): nine data
    // files and the HTML report.
    EXPECT_TRUE(FileExists(f.Dir.Path("out/report.html")));
    EXPECT_EQ("10\n", RunTool(f.Dir.Path("out"), "ls -A | wc -l").Output);
    for (const std::string& line : Lines(f.Out("sites.bed"))) {
        std::vector<std::string> b = Fields(line);
        ASSERT_EQ(6u, b.size()) << line;
        EXPECT_LT(std::stoi(b[1]), std::stoi(b[2])) << line;
        int score = std::stoi(b[4]);
        EXPECT_TRUE(score >= 0 && score <= 1000) << line;
    }
}

// bedtools getfasta -s on sites.bed returns each site's word (reverse
// complement on the minus strand), line for line; the sites are exactly
// those of the result file.
void ExpectBedtoolsExtractsEveryWord(const FLYFOLDER& f)
{
    TOOLRUN got = RunTool(f.Dir.m_Dir, "bedtools getfasta -s -nameOnly -tab -fi fly.fa -bed out/sites.bed 2>getfasta.err");
    ASSERT_EQ(0, got.Status) << got.Output;
    std::vector<std::string> bed = Lines(f.Out("sites.bed")), words = Lines(got.Output);
    ASSERT_EQ(bed.size(), words.size());
    ASSERT_FALSE(bed.empty());
    std::vector<std::string> extracted;
    for (size_t i = 0; i < bed.size(); i++) {
        std::vector<std::string> b = Fields(bed[i]), w = Fields(words[i]);
        ASSERT_EQ(2u, w.size()) << words[i];
        EXPECT_EQ(0u, w[0].find(b[3])) << words[i];
        std::string word = w[1];
        std::transform(word.begin(), word.end(), word.begin(), ::toupper);
        extracted.push_back(b[0] + " " + b[1] + " " + b[5] + " " + word);
    }
    std::sort(extracted.begin(), extracted.end());
    EXPECT_EQ(ResultSites(f.Out("result.txt")), extracted);
}

void ExpectBedtoolsAcceptsModulesAndBedGraph(const FLYFOLDER& f)
{
    ASSERT_FALSE(f.Out("modules.bed").empty());
    TOOLRUN modules = RunTool(f.Dir.m_Dir, "bedtools intersect -u -a out/modules.bed -b out/sites.bed");
    EXPECT_EQ(0, modules.Status) << modules.Output;
    // Every module holds a site.
    EXPECT_EQ(Lines(f.Out("modules.bed")).size(), Lines(modules.Output).size()) << modules.Output;
    TOOLRUN graph =
        RunTool(f.Dir.m_Dir, "bedtools sort -i out/modpr.bedgraph | bedtools merge -i - -c 4 -o max");
    EXPECT_EQ(0, graph.Status) << graph.Output;
    EXPECT_EQ(std::string::npos, graph.Output.find("rror")) << graph.Output;
}

void ExpectGenometoolsValidatesTheGff3(const FLYFOLDER& f)
{
    TOOLRUN gt = RunTool(f.Dir.m_Dir, "gt gff3validator out/annotations.gff3");
    EXPECT_EQ(0, gt.Status) << gt.Output;
    std::string gff = f.Out("annotations.gff3");
    EXPECT_NE(std::string::npos, gff.find("\tCRM\t"));
    EXPECT_NE(std::string::npos, gff.find("\tTF_binding_site\t"));
    EXPECT_NE(std::string::npos, gff.find(";Parent=r1.crm"));
}

void ExpectBiopythonReadsTheMotifs(const FLYFOLDER& f, const std::string& py)
{
    TOOLRUN check =
        RunTool(f.Dir.m_Dir, py + " '" + kSource + "/tests/output/check_folder.py' out '" + kSchema + "'");
    EXPECT_EQ(0, check.Status) << check.Output;
    EXPECT_EQ(0u, check.Output.find("OK ")) << check.Output;
}

}  // namespace

// One folder, every reader. A missing tool leaves its check out and the
// test ends as skipped, naming the Debian package to install.
TEST(OutputFolder, StandardToolsReadEveryFile)
{
    FLYFOLDER f;
    ASSERT_EQ(0, f.Run.Status);
    ExpectFilesHoldEveryRun(f);
    std::string missing;
    if (HaveTool("bedtools")) {
        ExpectBedtoolsExtractsEveryWord(f);
        ExpectBedtoolsAcceptsModulesAndBedGraph(f);
    } else {
        missing += " bedtools";
    }
    if (HaveTool("gt"))
        ExpectGenometoolsValidatesTheGff3(f);
    else
        missing += " genometools";
    std::string py = PythonWithBiopython();
    if (!py.empty())
        ExpectBiopythonReadsTheMotifs(f, py);
    else
        missing += " python3-biopython python3-jsonschema";
    if (!missing.empty())
        GTEST_SKIP() << "not checked, tools missing (Debian packages:" << missing << ")";
}

// A non-empty folder is refused before anything runs or is written; with
// --force its files are replaced and other files stay.
TEST(OutputFolder, NonEmptyFolderNeedsForce)
{
    CTempDir dir;
    WriteFile(dir.Path("in.fa"), ToFasta(MakePlanted(3, 5, 120, "TGACGTCA", true).Seqs));
    mkdir(dir.Path("out").c_str(), 0755);
    WriteFile(dir.Path("out/result.txt"), "mine\n");
    WriteFile(dir.Path("out/notes.txt"), "keep\n");
    std::vector<std::string> args = {"-i", "in.fa", "-n", "20", "-K", "1", "--seed", "2", "--outdir", "out"};
    RUNRESULT refused = RunRuzaravo(args, dir.m_Dir);
    EXPECT_EQ(1, refused.Status);
    EXPECT_EQ("Output folder error!\n", refused.Stdout);
    EXPECT_EQ("mine\n", ReadFile(dir.Path("out/result.txt")));
    EXPECT_FALSE(FileExists(dir.Path("out/summary.json")));
    EXPECT_FALSE(FileExists(dir.Path("Output.txt")));   // -o is not written with --outdir alone

    args.push_back("--force");
    RUNRESULT forced = RunRuzaravo(args, dir.m_Dir);
    EXPECT_EQ(0, forced.Status);
    EXPECT_EQ(0u, ReadFile(dir.Path("out/result.txt")).find("Ruzaravo (compiled on 12/5/2005)\n"));
    EXPECT_EQ("keep\n", ReadFile(dir.Path("out/notes.txt")));
    EXPECT_TRUE(FileExists(dir.Path("out/summary.json")));
    EXPECT_FALSE(FileExists(dir.Path("Output.txt")));

    // A missing folder is created with its parents; a file is not a folder.
    EXPECT_EQ(0, RunRuzaravo({"-i", "in.fa", "-n", "5", "-K", "1", "--outdir", "a/b/c"}, dir.m_Dir).Status);
    EXPECT_TRUE(FileExists(dir.Path("a/b/c/motifs.meme")));
    RUNRESULT file = RunRuzaravo({"-i", "in.fa", "-n", "5", "-K", "1", "--outdir", "in.fa"}, dir.m_Dir);
    EXPECT_EQ(1, file.Status);
    EXPECT_EQ("Output folder error!\n", file.Stdout);
}

// Sequences cut from a genome and named chrom:start-end put every site of
// the standard files onto the genome: the genome's letters at a site of
// sites.bed are the site's word (reverse complement on the minus strand).
TEST(OutputFolder, GenomeCoordinatesLandOnTheGenome)
{
    PLANTED p = MakePlanted(12, 1, 3000, "TTGACGTCAA", false);
    std::string genome = p.Seqs[0];
    // Plant a strong motif into six regions, one on the minus strand.
    const std::string motif = "GATTACAGGT";
    const int starts[] = {100, 520, 1010, 1600, 2100, 2600};
    std::string fasta;
    for (int i = 0; i < 6; i++) {
        int at = starts[i] + 40;
        genome.replace(at, motif.size(), i == 3 ? RevComp(motif) : motif);
    }
    for (int i = 0; i < 6; i++)
        fasta += ">chrT:" + std::to_string(starts[i]) + "-" + std::to_string(starts[i] + 300) + " region\n" +
                 genome.substr(starts[i], 300) + "\n";
    CTempDir dir;
    WriteFile(dir.Path("genome.fa"), ">chrT\n" + genome + "\n");
    WriteFile(dir.Path("in.fa"), fasta);
    RUNRESULT r = RunRuzaravo({"-i", "in.fa", "-n", "150", "-K", "1", "-s", "-w", "8", "-W", "12", "--seed", "6",
                               "--outdir", "out", "--genome-coords"},
                              dir.m_Dir);
    ASSERT_EQ(0, r.Status);
    std::vector<std::string> bed = Lines(ReadFile(dir.Path("out/sites.bed")));
    ASSERT_GE(bed.size(), 3u);
    std::map<std::string, std::string> wordAt;   // "start strand" -> word, from the summary's local sites
    for (const std::string& line : bed) {
        std::vector<std::string> f = Fields(line);
        ASSERT_EQ("chrT", f[0]);
        int start = std::stoi(f[1]), end = std::stoi(f[2]);
        std::string w = genome.substr(start, end - start);
        std::string word = f[5] == "+" ? w : RevComp(w);
        // The same site in local coordinates of the result file.
        bool found = false;
        for (int i = 0; i < 6 && !found; i++) {
            if (start >= starts[i] && end <= starts[i] + 300) {
                std::string local = "chrT:" + std::to_string(starts[i]) + "-" + std::to_string(starts[i] + 300) +
                                    " " + std::to_string(start - starts[i]) + " " + f[5] + " " + word;
                std::vector<std::string> sites = ResultSites(ReadFile(dir.Path("out/result.txt")));
                found = std::find(sites.begin(), sites.end(), local) != sites.end();
            }
        }
        EXPECT_TRUE(found) << line;
    }
    std::string gff = ReadFile(dir.Path("out/annotations.gff3"));
    EXPECT_NE(std::string::npos, gff.find("##sequence-region chrT 101 2900\n")) << gff.substr(0, 200);
    if (HaveTool("bedtools")) {
        TOOLRUN got = RunTool(dir.m_Dir, "bedtools getfasta -s -tab -fi genome.fa -bed out/sites.bed 2>getfasta.err | cut -f2");
        ASSERT_EQ(0, got.Status) << got.Output;
        std::vector<std::string> words = Lines(got.Output);
        ASSERT_EQ(bed.size(), words.size());
        std::vector<std::string> sites = ResultSites(ReadFile(dir.Path("out/result.txt")));
        for (const std::string& w : words) {
            bool listed = std::any_of(sites.begin(), sites.end(), [&](const std::string& s) {
                return s.size() > w.size() && s.compare(s.size() - w.size(), w.size(), w) == 0;
            });
            EXPECT_TRUE(listed) << w;
        }
    }

    // A name that does not read chrom:start-end is refused before anything is written.
    WriteFile(dir.Path("bad.fa"), fasta + ">plain_name\nACGTACGTACGTAGCTAGCTAGCATCGACTAGCATCGACTACGAC\n");
    RUNRESULT bad = RunRuzaravo({"-i", "bad.fa", "-n", "5", "-K", "1", "--outdir", "out2", "--genome-coords"},
                                dir.m_Dir);
    EXPECT_EQ(1, bad.Status);
    EXPECT_EQ("Input sequence file error!\n", bad.Stdout);
    EXPECT_FALSE(FileExists(dir.Path("out2")));

    // A name whose span differs from its sequence's length is refused after
    // the run, before anything is written.
    WriteFile(dir.Path("span.fa"), ">chrT:0-50\nACGTACGTACGTAGCTAGCTAGCATCGACTAGCATCGACTACGAC\n" + fasta);
    RUNRESULT span = RunRuzaravo({"-i", "span.fa", "-n", "5", "-K", "1", "--outdir", "out3", "--genome-coords"},
                                 dir.m_Dir);
    EXPECT_EQ(1, span.Status);
    EXPECT_NE(std::string::npos, span.Stdout.find("Input sequence file error!\n"));
    EXPECT_FALSE(FileExists(dir.Path("out3/summary.json")));
}

// A motif planted in 20 sequences, measured against a control that is the
// input shuffled preserving its dinucleotides (which breaks the copies up):
// summary.json and motifs.meme give it a small p-value, and both still
// validate and parse (the schema, Biopython, which also checks E= against
// log10_p). The same run without --control writes those files as they
// always were: the files with --control less their enrichment fields, and
// the other files of the folder byte for byte.
TEST(OutputFolder, EnrichmentReachesSummaryMemeAndReportOnlyWhenAsked)
{
    const std::string motif = "TGACCTAGCGTA";
    PLANTED planted = MakePlanted(77, 20, 300, motif, true);
    std::vector<std::string> control;
    for (const std::string& s : planted.Seqs)
        control.push_back(ShuffleDinucleotides(s, 5));
    CTempDir dir;
    WriteFile(dir.Path("in.fa"), ToFasta(planted.Seqs, "p"));
    WriteFile(dir.Path("control.fa"), ToFasta(control, "c"));
    std::vector<std::string> args = {"-i", "in.fa", "-K", "2", "-s", "-n", "200", "--seed", "21", "--quiet"};
    std::vector<std::string> with = args, without = args;
    with.insert(with.end(), {"--control", "control.fa", "--outdir", "with"});
    without.insert(without.end(), {"--outdir", "without"});
    ASSERT_EQ(0, RunRuzaravo(with, dir.m_Dir).Status);
    ASSERT_EQ(0, RunRuzaravo(without, dir.m_Dir).Status);
    auto read = [&](const std::string& folder, const std::string& name) {
        return ReadFile(dir.Path(folder + "/" + name));
    };

    // The planted motif's record (the motif that holds most of the copies)
    // and its MEME line carry a p-value of 1e-5 or less: about 20 hits in
    // the input against none or one in the control, where the input
    // itself as control gives 0.5.
    std::string summary = read("with", "summary.json"), meme = read("with", "motifs.meme");
    std::smatch best;
    std::regex record("\"consensus\": \"([ACGT]+)\"[^\\n]*\\n *\"enrichment\": \\{[^}]*\"log10_p\": (-?[0-9.e+-]+)\\}");
    double bestLog10P = 0;
    std::string bestConsensus;
    for (auto m = std::sregex_iterator(summary.begin(), summary.end(), record); m != std::sregex_iterator(); ++m) {
        if (std::stod((*m)[2].str()) < bestLog10P) {
            bestLog10P = std::stod((*m)[2].str());
            bestConsensus = (*m)[1].str();
        }
    }
    EXPECT_LE(bestLog10P, -5.0) << summary;
    EXPECT_TRUE(bestConsensus.find(motif.substr(2, 8)) != std::string::npos ||
                bestConsensus.find(RevComp(motif).substr(2, 8)) != std::string::npos)
        << bestConsensus;
    std::smatch line;
    std::string memeMotif = " " + bestConsensus + "\nletter-probability matrix: [^\\n]* E= ([0-9.e+-]+)\\n";
    ASSERT_TRUE(std::regex_search(meme, line, std::regex(memeMotif))) << meme;
    EXPECT_LE(std::stod(line[1].str()), 1e-5);

    // Without --control: no enrichment anywhere, and the files are those
    // with it less what enrichment adds (command lines and CPU times aside).
    std::regex commandLine("\"command_line\": \"[^\"]*\"|\"cpu_seconds\": [0-9.e+-]+");
    std::regex enrichmentField(",\\n *\"enrichment\": (\\{[^}]*\\}|null)");
    std::string plainSummary = read("without", "summary.json");
    EXPECT_EQ(std::string::npos, plainSummary.find("enrichment"));
    EXPECT_EQ(std::regex_replace(std::regex_replace(summary, enrichmentField, ""), commandLine, ""),
              std::regex_replace(plainSummary, commandLine, ""));
    EXPECT_EQ(std::regex_replace(meme, std::regex(" E= [0-9.e+-]+\\n"), "\n"), read("without", "motifs.meme"));
    for (const char* name : {"motifs.jaspar", "sites.bed", "modules.bed", "annotations.gff3", "modpr.bedgraph",
                             "result.txt_modpr.txt"})
        EXPECT_EQ(read("with", name), read("without", name)) << name;
    EXPECT_NE(std::string::npos, read("with", "report.html").find("<table class=\"sites enrichment\">"));
    EXPECT_EQ(std::string::npos, read("without", "report.html").find("nrichment"));

    std::string py = PythonWithBiopython();
    if (py.empty())
        GTEST_SKIP() << "summary.json and motifs.meme not read (Debian packages: python3-biopython python3-jsonschema)";
    for (const char* folder : {"with", "without"}) {
        TOOLRUN check = RunTool(dir.m_Dir, py + " '" + kSource + "/tests/output/check_folder.py' " + folder + " '" +
                                               kSchema + "'");
        EXPECT_EQ(0, check.Status) << folder << ": " << check.Output;
    }
}

namespace {

// The program's combined standard output and error, run in dir.
TOOLRUN RunShell(const std::string& dir, const std::string& args)
{
    return RunTool(dir, std::string("'") + RUZARAVO_EXE + "' " + args + " 2>&1");
}

}  // namespace

// A chains run with a consensus, then a plain --force run into the same
// folder: the chains files go (named on standard error), the user's own
// files and a sub-folder with one of the program's names stay, and the
// folder holds exactly the plain run's files. A refused run removes
// nothing; a -o file of the run inside the folder is not stale.
TEST(OutputFolder, ForceRemovesTheStaleFilesOfAnEarlierRun)
{
    for (int plan = 0; plan < 8; plan++)
        for (const std::string& name : OutputFolderNames(plan & 1, plan & 2, plan & 4))
            EXPECT_NE(OwnFolderNames().end(), std::find(OwnFolderNames().begin(), OwnFolderNames().end(), name))
                << name << " is missing from the list --force clears by";
    CTempDir dir;
    WriteFile(dir.Path("in.fa"), ToFasta(MakePlanted(3, 6, 150, "TGACGTCA", true).Seqs));
    const std::string common = "-i in.fa -n 30 -K 1 -w 6 -W 9 --seed 2 --quiet --outdir out";
    ASSERT_EQ(0, RunShell(dir.m_Dir, common + " --chains 3 --min-support 2").Status);
    ASSERT_TRUE(FileExists(dir.Path("out/chains.tsv")));
    ASSERT_TRUE(FileExists(dir.Path("out/consensus.bed")));
    WriteFile(dir.Path("out/notes.txt"), "mine\n");
    WriteFile(dir.Path("out/consensus.meme"), "stale too\n");
    ASSERT_EQ(0, mkdir(dir.Path("out/matches.tsv").c_str(), 0777));   // a folder is never removed

    // A refusal (here a missing input) comes before any removal.
    TOOLRUN refused = RunShell(dir.m_Dir, "-i missing.fa -n 30 -K 1 --outdir out --force");
    EXPECT_EQ(1, refused.Status);
    EXPECT_TRUE(FileExists(dir.Path("out/chains.tsv")));

    TOOLRUN plain = RunShell(dir.m_Dir, common + " --force");
    ASSERT_EQ(0, plain.Status) << plain.Output;
    EXPECT_NE(std::string::npos,
              plain.Output.find("Ruzaravo: removed stale chains.tsv, consensus.bed, consensus.meme, consensus_modules.bed from out/\n"))
        << plain.Output;
    EXPECT_EQ("annotations.gff3\nmatches.tsv\nmodpr.bedgraph\nmodules.bed\nmotifs.jaspar\nmotifs.meme\nnotes.txt\n"
              "report.html\nresult.txt\nresult.txt_modpr.txt\nsites.bed\nsummary.json\n",
              RunTool(dir.Path("out"), "LC_ALL=C ls -A").Output);
    EXPECT_EQ("mine\n", ReadFile(dir.Path("out/notes.txt")));
    EXPECT_EQ(std::string::npos, ReadFile(dir.Path("out/summary.json")).find("\"chains\": {"));

    // Nothing stale: nothing said. The -o file of this run, though one of
    // the program's names, is this run's own.
    TOOLRUN again = RunShell(dir.m_Dir, common + " --force -o out/chains.tsv");
    ASSERT_EQ(0, again.Status) << again.Output;
    EXPECT_EQ(std::string::npos, again.Output.find("removed stale")) << again.Output;
    EXPECT_EQ(0u, ReadFile(dir.Path("out/chains.tsv")).find("Ruzaravo (compiled on 12/5/2005)\n"));
}

namespace {

// Sequences cut from a made-up two-chromosome genome, listed out of genome
// order and named "name chrom start end", 1-based inclusive except the
// last (0-based half-open), with a motif planted in each.
struct MADEUPGENOME {
    CTempDir Dir;
    std::map<std::string, std::string> Chroms;
    MADEUPGENOME()
    {
        const std::string motif = "GATTACAGGT";
        Chroms["chrB"] = MakePlanted(31, 1, 2500, "TTGACGTCAA", false).Seqs[0];
        Chroms["chrA"] = MakePlanted(32, 1, 2500, "TTGACGTCAA", false).Seqs[0];
        struct CUT {
            const char* chrom;
            int start;   // 0-based
        };
        const CUT cuts[] = {{"chrB", 1900}, {"chrB", 300}, {"chrA", 1200}, {"chrB", 1000}, {"chrA", 100}};
        std::string fasta;
        for (int i = 0; i < 5; i++) {
            std::string& g = Chroms[cuts[i].chrom];
            g.replace(cuts[i].start + 50 + 13 * i, motif.size(), i == 2 ? RevComp(motif) : motif);
            bool oneBased = i < 4;
            fasta += ">cut" + std::to_string(i) + " " + cuts[i].chrom + " " +
                     std::to_string(cuts[i].start + (oneBased ? 1 : 0)) + " " + std::to_string(cuts[i].start + 400) +
                     "\n" + g.substr(cuts[i].start, 400) + "\n";
        }
        WriteFile(Dir.Path("genome.fa"), ">chrA\n" + Chroms["chrA"] + "\n>chrB\n" + Chroms["chrB"] + "\n");
        WriteFile(Dir.Path("in.fa"), fasta);
    }
};

}  // namespace

// With --genome-coords the four-word names place every site on the made-up
// genome (bedtools getfasta returns the result file's words) and every
// file is in the order bedtools sort gives; on the shipped example the
// genome sites.bed is the local one moved by each header's start - 1.
TEST(OutputFolder, GenomeFilesAreInPositionOrder)
{
    MADEUPGENOME g;
    TOOLRUN run = RunShell(g.Dir.m_Dir, "-i in.fa -n 150 -K 1 -s -w 8 -W 12 --seed 6 --quiet --outdir out "
                                        "--genome-coords");
    ASSERT_EQ(0, run.Status) << run.Output;
    std::vector<std::string> bed = Lines(ReadFile(g.Dir.Path("out/sites.bed")));
    ASSERT_GE(bed.size(), 4u);
    std::vector<std::string> words;
    for (const std::string& site : ResultSites(ReadFile(g.Dir.Path("out/result.txt"))))
        words.push_back(site.substr(site.rfind(' ') + 1));
    std::sort(words.begin(), words.end());
    if (!HaveTool("bedtools"))
        GTEST_SKIP() << "not checked with bedtools (Debian package: bedtools)";
    TOOLRUN got = RunTool(g.Dir.m_Dir, "bedtools getfasta -s -tab -fi genome.fa -bed out/sites.bed 2>/dev/null");
    ASSERT_EQ(0, got.Status) << got.Output;
    std::vector<std::string> extracted;
    for (const std::string& line : Lines(got.Output))
        extracted.push_back(Fields(line).back());
    std::sort(extracted.begin(), extracted.end());
    EXPECT_EQ(words, extracted);
    for (const char* file : {"sites.bed", "modules.bed", "annotations.gff3", "modpr.bedgraph"}) {
        TOOLRUN sorted = RunTool(g.Dir.m_Dir, std::string("bedtools sort -header -i out/") + file);
        EXPECT_EQ(0, sorted.Status) << file << sorted.Output;
        EXPECT_EQ(ReadFile(g.Dir.Path(std::string("out/") + file)), sorted.Output) << file;
    }
    EXPECT_EQ(0u, bed[0].find("chrA\t")) << bed[0];

    // A four-word name whose numbers fit neither convention is refused up
    // front, naming the record and the counts; nothing is created.
    WriteFile(g.Dir.Path("off.fa"), ReadFile(g.Dir.Path("in.fa")) + ">odd chrA 1 20\nACGTACGTAC\n");
    TOOLRUN off = RunShell(g.Dir.m_Dir, "-i off.fa -n 5 -K 1 --outdir off --genome-coords");
    EXPECT_EQ(1, off.Status);
    EXPECT_NE(std::string::npos, off.Output.find("record 6 (>odd): the name reads name chrom start end, but the "
                                                 "sequence has 10 letters, neither end - start + 1 (1-based) = 20 "
                                                 "nor end - start (0-based) = 19"))
        << off.Output;
    EXPECT_NE(std::string::npos, off.Output.find("Input sequence file error!\n"));
    EXPECT_FALSE(FileExists(g.Dir.Path("off")));

    // The shipped example: 1-based headers, overlapping regions on 3R.
    WriteFile(g.Dir.Path("fly.fa"), ReadFile(kFly));
    std::map<std::string, std::pair<std::string, long long>> header;   // name -> (chrom, start - 1)
    for (const std::string& line : Lines(ReadFile(kFly)))
        if (!line.empty() && line[0] == '>') {
            std::vector<std::string> w = Fields(std::regex_replace(line.substr(1), std::regex(" "), "\t"));
            header[w[0]] = {w[1], std::stoll(w[2]) - 1};
        }
    const std::string common = "-i fly.fa -n 40 -K 2 --seed 9 --quiet --outdir ";
    ASSERT_EQ(0, RunShell(g.Dir.m_Dir, common + "fly_local").Status);
    ASSERT_EQ(0, RunShell(g.Dir.m_Dir, common + "fly_genome --genome-coords").Status);
    std::vector<std::string> moved;
    for (const std::string& line : Lines(ReadFile(g.Dir.Path("fly_local/sites.bed")))) {
        std::vector<std::string> f = Fields(line);
        const auto& at = header.at(f[0]);
        moved.push_back(at.first + "\t" + std::to_string(at.second + std::stoll(f[1])) + "\t" +
                        std::to_string(at.second + std::stoll(f[2])) + "\t" + f[3] + "\t" + f[4] + "\t" + f[5]);
    }
    std::vector<std::string> genome = Lines(ReadFile(g.Dir.Path("fly_genome/sites.bed")));
    ASSERT_FALSE(genome.empty());
    std::vector<std::string> a = moved, b = genome;
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    EXPECT_EQ(a, b);
    for (const char* file : {"sites.bed", "modules.bed", "annotations.gff3", "modpr.bedgraph"}) {
        std::string text = ReadFile(g.Dir.Path(std::string("fly_genome/") + file));
        EXPECT_GT(Lines(text).size(), 5u) << file;
        EXPECT_EQ(text, RunTool(g.Dir.m_Dir, std::string("bedtools sort -header -i fly_genome/") + file).Output)
            << file;
    }
}
