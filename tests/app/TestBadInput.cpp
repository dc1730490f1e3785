// Bad and extreme input through the executable, one row per case. Every
// run happens in a temporary directory whose result files already hold an
// earlier run's block:
// - a refused input must print exactly its fixed message on standard
//   output, explain itself in one line on standard error, exit with status
//   1, and leave both result files byte for byte as they were;
// - an input that is odd but usable must run normally (status 0), keep the
//   earlier blocks as they were and append one complete block to each file:
//   all K motif sections, and one probability line per letter.
// Runs are short (a few sweeps on small data) so the whole file takes
// seconds. Each child run has an alarm, so a hang fails instead of blocking.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace {

const char kEarlierResult[] = "Ruzaravo (compiled on 12/5/2005)\n./Ruzaravo -i earlier.fa \n\nearlier block\n";
const char kEarlierModPr[] = "\n**********\n>earlier(1)\n0.500\n";
const char kBanner[] = "Ruzaravo (compiled on 12/5/2005)\n";

const char kSeqError[] = "Input sequence file error!\n";
const char kBgError[] = "Input background file error!\n";
const char kPWMError[] = "Input weight matrix file error!\n";
const char kMotifsError[] = "Input number of transcription factors error!\n";
const char kLongModule[] = "Input module length too large!\n";
const char kOutputError[] = "Output file error!\n";
const char kMemoryError[] = "Not enough memory for this input!\n";
const char kOptionError[] = "Input option error!\n";

// Limits and identity of one child run.
struct LIMITS {
    long long AddressSpace = 0;   // bytes; 0: unlimited
    long long FileSize = 0;       // bytes; 0: unlimited
    bool AsNobody = false;        // run as uid/gid 65534 (only when root)
    std::string Stdin;            // file for standard input; "": /dev/null
};

// Puts a copy of the program in dir: a user without access to the build
// folder (a checkout inside a private directory) can still run it there.
bool CopyProgram(const std::string& dir)
{
    const std::string copy = dir + "/Ruzaravo";
    WriteFile(copy, ReadFile(RUZARAVO_EXE));
    return chmod(copy.c_str(), 0755) == 0 && ReadFile(copy).size() > 0;
}

struct CHILDRUN {
    int Status;          // exit status, -1 when killed by a signal
    std::string Stdout;
    std::string Stderr;
};

// Runs ./Ruzaravo (a link to the build's executable) with args in dir,
// standard input from /dev/null, both outputs captured.
CHILDRUN RunChild(const std::string& dir, const std::vector<std::string>& args, const LIMITS& lim = LIMITS())
{
    CTempDir capture;
    const std::string out = capture.Path("stdout"), err = capture.Path("stderr");
    const std::string link = dir + "/Ruzaravo";
    if (!FileExists(link) && (lim.AsNobody ? !CopyProgram(dir) : symlink(RUZARAVO_EXE, link.c_str()) != 0))
        return CHILDRUN{-2, "", "cannot place the executable"};
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>("./Ruzaravo"));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    pid_t pid = fork();
    if (pid == 0) {
        int in = open(lim.Stdin.empty() ? "/dev/null" : lim.Stdin.c_str(), O_RDONLY);
        int fo = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        int fe = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (in < 0 || fo < 0 || fe < 0 || chdir(dir.c_str()) != 0)
            _exit(125);
        dup2(in, 0);
        dup2(fo, 1);
        dup2(fe, 2);
        if (lim.AddressSpace > 0) {
            struct rlimit r = {(rlim_t)lim.AddressSpace, (rlim_t)lim.AddressSpace};
            setrlimit(RLIMIT_AS, &r);
        }
        if (lim.FileSize > 0) {
            struct rlimit r = {(rlim_t)lim.FileSize, (rlim_t)lim.FileSize};
            setrlimit(RLIMIT_FSIZE, &r);
        }
        if (lim.AsNobody && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(126);
        alarm(120);   // survives exec: a hanging run is killed, not waited for
        execv(argv[0], argv.data());
        _exit(127);
    }
    int st = 0;
    waitpid(pid, &st, 0);
    return CHILDRUN{WIFEXITED(st) ? WEXITSTATUS(st) : -1, ReadFile(out), ReadFile(err)};
}

int CountOf(const std::string& text, const std::string& what)
{
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        n++;
    return n;
}

std::string Joined(const std::vector<std::string>& args)
{
    std::string s;
    for (const std::string& a : args)
        s += a + " ";
    return s;
}

// The earlier run's blocks, before every row.
void PutEarlierBlocks(const std::string& dir, const std::string& out = "Output.txt")
{
    WriteFile(dir + "/" + out, kEarlierResult);
    WriteFile(dir + "/" + out + "_modpr.txt", kEarlierModPr);
}

// Sequence count and letters per sequence as the reader takes them: a name
// line starts a sequence, other lines give their ASCII letters (blanks and
// digits between them are skipped).
std::vector<long> FastaLengths(const std::string& text)
{
    std::vector<long> lens;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        if (text[at] == '>') {
            lens.push_back(0);
        } else if (!lens.empty()) {
            for (size_t p = at; p < end; p++)
                lens.back() += isascii((unsigned char)text[p]) && isalpha((unsigned char)text[p]);
        }
        at = end + 1;
    }
    return lens;
}

// Checks a normal run: status 0, the earlier blocks kept, one complete new
// block in each file.
void ExpectCompleteRun(const std::string& dir, const std::string& what, const CHILDRUN& r, int K,
                       const std::string& fasta)
{
    std::vector<long> lens = FastaLengths(fasta);
    EXPECT_EQ(0, r.Status) << what << "\n" << r.Stdout << r.Stderr;
    EXPECT_NE(std::string::npos, r.Stdout.find("\nInput " + std::to_string(lens.size()) + " sequences.\n"))
        << what;
    std::string result = ReadFile(dir + "/Output.txt");
    ASSERT_EQ(0u, result.find(kEarlierResult)) << what << ": the earlier block changed";
    std::string block = result.substr(sizeof kEarlierResult - 1);
    EXPECT_EQ(0u, block.find(kBanner)) << what;
    EXPECT_EQ(1, CountOf(block, kBanner)) << what;
    EXPECT_EQ(K, CountOf(block, "\n\n\n**********************\nMotif_")) << what;
    size_t last = block.find("\nMotif_" + std::to_string(K) + ":\n");
    EXPECT_NE(std::string::npos, last) << what << ": the last motif section is missing";
    EXPECT_EQ('\n', block.back()) << what;
    std::string numbers = block.substr(block.find("\n\n"));   // after the command line
    EXPECT_EQ(std::string::npos, numbers.find("nan")) << what;
    EXPECT_EQ(std::string::npos, numbers.find("inf")) << what;

    std::string modpr = ReadFile(dir + "/Output.txt_modpr.txt");
    ASSERT_EQ(0u, modpr.find(kEarlierModPr)) << what << ": the earlier companion block changed";
    std::string mblock = modpr.substr(sizeof kEarlierModPr - 1);
    long lines = 2 + (long)lens.size();   // the empty line, the asterisks, one name line per sequence
    for (long n : lens)
        lines += n;
    EXPECT_EQ(lines, (long)CountOf(mblock, "\n")) << what;
    EXPECT_EQ(0u, mblock.find("\n**********\n")) << what;
}

// Checks a refused input: exact message, status 1, one explanation line on
// standard error, both result files unchanged (or absent when they were).
void ExpectRefused(const std::string& dir, const std::string& what, const CHILDRUN& r,
                   const std::string& message, const std::string& because, const std::string& out = "Output.txt")
{
    EXPECT_EQ(1, r.Status) << what;
    EXPECT_EQ(message, r.Stdout) << what;
    EXPECT_EQ(0u, r.Stderr.find("Ruzaravo: ")) << what << ": " << r.Stderr;
    EXPECT_EQ(1, CountOf(r.Stderr, "\n")) << what << ": " << r.Stderr;
    EXPECT_NE(std::string::npos, r.Stderr.find(because)) << what << ": " << r.Stderr;
    EXPECT_EQ(kEarlierResult, ReadFile(dir + "/" + out)) << what;
    EXPECT_EQ(kEarlierModPr, ReadFile(dir + "/" + out + "_modpr.txt")) << what;
}

// A small valid input: six sequences of 80 letters with a planted motif.
std::string GoodFasta()
{
    return ToFasta(MakePlanted(5, 6, 80, "TGACGTCA", true).Seqs, "s");
}

std::string Repeat(const std::string& s, int n)
{
    std::string out;
    for (int i = 0; i < n; i++)
        out += s;
    return out;
}

// A weight-matrix row of counts for one letter (A, C, G or T).
std::string Row(char letter)
{
    const std::string rows[] = {"9\t1\t1\t1\n", "1\t9\t1\t1\n", "1\t1\t9\t1\n", "1\t1\t1\t9\n"};
    return rows[std::string("ACGT").find(letter)];
}

std::string Matrix(const std::string& letters)
{
    std::string m = ">" + std::to_string(letters.size()) + " given\n";
    for (char c : letters)
        m += Row(c);
    return m;
}

// The short run options every row adds.
const std::vector<std::string> kQuick = {"-n", "3", "-w", "5", "-W", "7", "--seed", "4"};

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more = kQuick)
{
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

struct REFUSEDCASE {
    std::string What;
    std::vector<std::string> Args;
    std::string Message;
    std::string Because;   // part of the explanation on standard error
};

// Files of the refused cases, all in one directory.
void WriteRefusedInputs(const CTempDir& dir)
{
    const std::string good = GoodFasta();
    WriteFile(dir.Path("good.fa"), good);
    mkdir(dir.Path("adir").c_str(), 0755);
    std::string gz = GzipText(good);
    WriteFile(dir.Path("cut.fa.gz"), gz.substr(0, gz.size() / 2));
    WriteFile(dir.Path("tail.fa.gz"), gz + "trailing junk");
    // Magic bytes in front of otherwise valid FASTA text: read as gzip data.
    WriteFile(dir.Path("magic.fa"), std::string("\x1f\x8b\n", 3) + good);
    WriteFile(dir.Path("dash.fa"), ">a\nACGTACGT\nACGT-ACGT\n");
    WriteFile(dir.Path("star.fa"), ">a\nACGTACGTACGT*\n");
    WriteFile(dir.Path("protein.fa"), ">sp|P69905|HBA_HUMAN\nMVLSPADKTNVKAAWGKVGAHAGEYGAEALERMFLSFPTTKTYFPHFDLSHGSAQVKGHGKKVADALTNAVAHV\n");
    std::string withNul = good;
    withNul.insert(withNul.find('\n', 1) + 5, std::string("\0\0TTT", 5));
    WriteFile(dir.Path("nul.fa"), withNul);
    WriteFile(dir.Path("bz.fa"), "BZh91AY&SY" + good);
    std::string binary = std::string("\x7f" "ELF\x02\x01\x01\0\0\0", 10);
    for (int i = 0; i < 512; i++)
        binary += (char)(i * 37 % 256);
    WriteFile(dir.Path("binary.bin"), binary);
    WriteFile(dir.Path("utf16.fa"), std::string(">\0s\0\n\0A\0C\0G\0T\0\n\0", 16));
    WriteFile(dir.Path("empty.fa"), "");
    WriteFile(dir.Path("blank.fa"), "\n\n   \n");
    WriteFile(dir.Path("names.fa"), ">a\n>b\n>c\n");
    WriteFile(dir.Path("emptyrecs.fa"), ">a\n\n>b\r\n\r\n>c\n123 456\n  \t\n");
    WriteFile(dir.Path("stray.fa"), "ACGT\n" + good);
    WriteFile(dir.Path("noname.fa"), "\n\n12 34\n;;\n");
    WriteFile(dir.Path("bg.gz"), std::string("\x1f\x8b\x08\x00", 4) + "1\t0\t0.25\t0.25\t0.25\t0.25\t1\n");
    WriteFile(dir.Path("w4.pwm"), Matrix("ACGT"));
    WriteFile(dir.Path("w50.pwm"), Matrix(Repeat("ACGTT", 10)));
    WriteFile(dir.Path("w0.pwm"), ">junk\n" + Row('A'));
    WriteFile(dir.Path("rows.pwm"), ">8 short\n" + Row('A') + Row('C') + Row('G'));
    WriteFile(dir.Path("zerorow.pwm"), ">5\n" + Row('A') + "0\t0\t0\t0\n" + Row('G') + Row('T') + Row('A'));
    WriteFile(dir.Path("negrow.pwm"), ">5\n" + Row('A') + Row('C') + "-5\t1\t1\t1\n" + Row('T') + Row('A'));
    WriteFile(dir.Path("second.pwm"), Matrix("ACGTAC") + ">3\n" + Row('A') + Row('C') + Row('G'));
    WriteFile(dir.Path("pwm.gz"), std::string("\x1f\x8b\x08\x00", 4) + Matrix("ACGTA"));
    WriteFile(dir.Path("nomatrix.pwm"), "no matrix here\n");
    WriteFile(dir.Path("ok.pwm"), Matrix("ACGTA"));
    WriteFile(dir.Path("emptym.pwm"), "");
    WriteFile(dir.Path("three.pwm"), ">5\n" + Row('A') + "1 2 3\n" + Row('G') + Row('T') + Row('A'));
    WriteFile(dir.Path("short.meme"), "MEME version 4\n\nMOTIF M1\nletter-probability matrix: alength= 4 w= 6\n" +
                                          Repeat("0.25 0.25 0.25 0.25\n", 5));
    WriteFile(dir.Path("ragged.jaspar"), ">MA1 x\nA [ 1 2 3 4 5 ]\nC [ 1 2 3 4 ]\nG [ 0 0 0 0 1 ]\nT [ 9 9 9 9 9 ]\n");
    WriteFile(dir.Path("protein.meme"), "MEME version 4\n\nMOTIF P1\nletter-probability matrix: alength= 20 w= 5\n");
    // The same file under another name: a hard link to the input.
    if (link(dir.Path("good.fa").c_str(), dir.Path("alias.fa").c_str()) != 0)
        WriteFile(dir.Path("alias.fa"), "not linked\n");
    mkdir(dir.Path("folder").c_str(), 0755);
    WriteFile(dir.Path("folder/summary.json"), good);
    mkdir(dir.Path("r.txt_modpr.txt").c_str(), 0755);
}

}  // namespace

TEST(BadInput, RefusedInputsLeaveResultFilesUnchanged)
{
    CTempDir dir;
    WriteRefusedInputs(dir);
    const REFUSEDCASE cases[] = {
        // Sequence file.
        {"no -i at all", With({}), kSeqError, "no sequence file named"},
        {"missing file", With({"-i", "missing.fa"}), kSeqError, "cannot be opened (No such file or directory)"},
        {"a directory as -i", With({"-i", "adir"}), kSeqError, "adir: is a directory"},
        {"a device as -i", With({"-i", "/dev/zero"}), kSeqError, "/dev/zero: is a device, not a file"},
        {"empty standard input", With({"-i", "-"}), kSeqError, "standard input: the file is empty"},
        {"gzip magic before plain text", With({"-i", "magic.fa"}), kSeqError, "the gzip data is corrupt"},
        {"truncated gzip file", With({"-i", "cut.fa.gz"}), kSeqError, "cut.fa.gz: the gzip data ends early"},
        {"gzip file with junk after it", With({"-i", "tail.fa.gz"}), kSeqError, "followed by bytes that are not gzip"},
        {"bzip2-compressed FASTA", With({"-i", "bz.fa"}), kSeqError, "bzip2-compressed"},
        {"binary file", With({"-i", "binary.bin"}), kSeqError, "binary file, not FASTA text"},
        {"UTF-16 text", With({"-i", "utf16.fa"}), kSeqError, "UTF-16"},
        {"empty file", With({"-i", "empty.fa"}), kSeqError, "empty.fa: the file is empty"},
        {"blank lines only", With({"-i", "blank.fa"}), kSeqError, "no sequence name line ('>') found"},
        {"no name line", With({"-i", "noname.fa"}), kSeqError, "no sequence name line ('>') found"},
        {"name lines only", With({"-i", "names.fa"}), kSeqError, "no sequence letters"},
        {"all records empty", With({"-i", "emptyrecs.fa"}), kSeqError, "no sequence letters"},
        {"a '-' in a sequence line", With({"-i", "dash.fa"}), kSeqError,
         "dash.fa: line 3, column 5: '-' is not a sequence letter"},
        {"a '*' ending a sequence", With({"-i", "star.fa"}), kSeqError, "line 2, column 13: '*'"},
        {"NUL bytes in a line", With({"-i", "nul.fa"}), kSeqError, "byte 0x00: it is a binary file"},
        {"protein sequences", With({"-i", "protein.fa"}), kSeqError, "protein.fa: not DNA: only"},
        {"letters before the first name", With({"-i", "stray.fa"}), kSeqError,
         "text before the first name line ('>') at line 1"},
        {"-n 2147483647 on a missing file", {"-i", "missing.fa", "-n", "2147483647"}, kSeqError, "missing.fa"},
        // Option values.
        {"-n fifty", With({"-i", "good.fa", "-n", "fifty"}), kOptionError, "-n fifty: not a whole number"},
        {"-n -1", With({"-i", "good.fa"}, {"-n", "-1"}), kOptionError, "-n -1: the number of sweeps must be 0 or more"},
        {"-N -3", With({"-i", "good.fa", "-N", "-3"}), kOptionError, "-N -3: the number of runs must be 0 or more"},
        {"-N -2147483648", {"-N", "-2147483648"}, kOptionError, "the number of runs must be 0 or more"},
        {"--chains 0", With({"-i", "good.fa", "--chains", "0"}), kOptionError,
         "--chains 0: the number of chains must be a whole number of 1 or more"},
        {"--chains two", With({"-i", "good.fa", "--chains", "two"}), kOptionError, "--chains two: the number of chains"},
        {"--chains with -N", With({"-i", "good.fa", "--chains", "3", "-N", "2"}), kOptionError,
         "-N: --chains C makes C runs itself"},
        {"-N 1 with --chains", With({"-i", "good.fa", "-N", "1", "--chains", "2"}), kOptionError, "give -N or --chains"},
        {"--min-support without --chains", With({"-i", "good.fa", "--min-support", "2"}), kOptionError,
         "--min-support: the consensus is chosen among the clusters of chains"},
        {"--min-support above --chains", With({"-i", "good.fa", "--chains", "3", "--min-support", "4"}), kOptionError,
         "--min-support 4: no cluster can be found by more chains"},
        {"--min-support 0", With({"-i", "good.fa", "--chains", "3", "--min-support", "0"}), kOptionError,
         "--min-support 0: the minimum support must be a whole number of 1 or more, or majority"},
        {"--min-support majority without --chains", With({"-i", "good.fa", "--min-support", "majority"}), kOptionError,
         "--min-support: the consensus is chosen among the clusters of chains"},
        {"-c -1", With({"-i", "good.fa", "-c", "-1"}), kOptionError, "-c -1: the threshold is a posterior frequency"},
        {"-c 5", With({"-i", "good.fa", "-c", "5"}), kOptionError, "must lie in 0..1"},
        {"-c nan", With({"-i", "good.fa", "-c", "nan"}), kOptionError, "must lie in 0..1"},
        {"-c 1e300", With({"-i", "good.fa", "-c", "1e300"}), kOptionError, "must lie in 0..1"},
        {"-K 3x", With({"-i", "good.fa", "-K", "3x"}), kMotifsError, "-K 3x: not a whole number"},
        {"--sed 1 (typo)", With({"-i", "good.fa", "--sed", "1"}), kOptionError, "--sed: unknown option; did you mean --seed?"},
        {"--seed x", With({"-i", "good.fa", "--seed", "x"}), kOptionError, "--seed x: the seed must be a whole number"},
        {"-seed 1 (one dash)", With({"-i", "good.fa", "-seed", "1"}), kOptionError,
         "-seed: a long option needs two dashes; did you mean --seed?"},
        {"-outdir out (one dash)", With({"-i", "good.fa", "-outdir", "out"}), kOptionError, "did you mean --outdir?"},
        {"second input file", With({"-i", "good.fa", "good.fa"}), kOptionError,
         "good.fa: not an option and not the value of the option before it"},
        {"-s 5 (a switch takes no value)", With({"-i", "good.fa", "-s", "5"}), kOptionError, "5: not an option"},
        {"-o without its value", With({"-i", "good.fa"}, {"-o"}), kOptionError, "-o: needs a value"},
        // Motif number and module length.
        {"-K 1001", With({"-i", "good.fa", "-K", "1001"}), kMotifsError, "-K 1001: at most 1000"},
        {"-K 100000000", With({"-i", "good.fa", "-K", "100000000"}), kMotifsError, "at most 1000"},
        {"-K 2147483647", With({"-i", "good.fa", "-K", "2147483647"}), kMotifsError, "at most 1000"},
        {"-K 99999999999 (held at the int maximum)", With({"-i", "good.fa", "-K", "99999999999"}), kMotifsError,
         "-K 2147483647"},
        {"-L 2147483647", With({"-i", "good.fa", "-L", "2147483647"}), kLongModule, "-L 2147483647"},
        {"-L 100001", With({"-i", "good.fa", "-L", "100001"}), kLongModule, "-L 100001: the module length must be at most 100000 letters"},
        // Background file.
        {"missing background file", With({"-i", "good.fa", "-b", "missing.txt"}), kBgError, "cannot be opened"},
        {"directory as background file", With({"-i", "good.fa", "-b", "adir"}), kBgError, "is a directory"},
        {"damaged gzip background file", With({"-i", "good.fa", "-b", "bg.gz"}), kBgError, "bg.gz: the gzip data"},
        {"background file checked with -N 0", {"-i", "good.fa", "-b", "adir", "-N", "0"}, kBgError, "adir"},
        // Weight-matrix file.
        {"missing matrix file", With({"-i", "good.fa", "-M", "missing.pwm"}), kPWMError, "cannot be opened"},
        {"directory as matrix file", With({"-i", "good.fa", "-M", "adir"}), kPWMError, "is a directory"},
        {"damaged gzip matrix file", With({"-i", "good.fa", "-M", "pwm.gz"}), kPWMError, "pwm.gz: the gzip data"},
        {"matrix width 4", With({"-i", "good.fa", "-M", "w4.pwm"}), kPWMError, "matrix 1: the width after '>' is 4"},
        {"matrix width 50", With({"-i", "good.fa", "-M", "w50.pwm"}), kPWMError, "is 50; it must lie in 5..49"},
        {"matrix width not a number", With({"-i", "good.fa", "-M", "w0.pwm"}), kPWMError, "is 0"},
        {"fewer rows than the width", With({"-i", "good.fa", "-M", "rows.pwm"}), kPWMError,
         "the file ends after 3 of its 8 rows"},
        {"row summing to 0", With({"-i", "good.fa", "-M", "zerorow.pwm"}), kPWMError, "matrix 1, row 2:"},
        {"row with a negative value", With({"-i", "good.fa", "-M", "negrow.pwm"}), kPWMError, "matrix 1, row 3:"},
        {"second matrix bad, K = 2", With({"-i", "good.fa", "-M", "second.pwm", "-K", "2"}), kPWMError,
         "matrix 2: the width after '>' is 3"},
        {"no matrix in the file", With({"-i", "good.fa", "-M", "nomatrix.pwm"}), kPWMError, "no matrix found"},
        {"empty matrix file", With({"-i", "good.fa", "-M", "emptym.pwm"}), kPWMError, "no matrix found"},
        {"a row of three values", With({"-i", "good.fa", "-M", "three.pwm"}), kPWMError,
         "matrix 1, row 2: a row must hold exactly four non-negative numbers"},
        {"MEME matrix short of its rows", With({"-i", "good.fa", "-M", "short.meme"}), kPWMError,
         "the file ends after 5 of its 6 rows"},
        {"JASPAR rows of unequal length", With({"-i", "good.fa", "-M", "ragged.jaspar"}), kPWMError,
         "the rows of A, C, G, T must hold the same number"},
        {"a protein MEME file", With({"-i", "good.fa", "-M", "protein.meme"}), kPWMError, "alphabet of 20 letters"},
        // Outputs that are inputs: nothing may be written into an input.
        {"-o naming the input", With({"-i", "good.fa", "-o", "good.fa"}), kOutputError,
         "good.fa: is the same file as the input given with -i"},
        {"-o naming a hard link of the input", With({"-i", "good.fa", "-o", "alias.fa"}), kOutputError,
         "alias.fa: is the same file as the input given with -i"},
        {"-o naming the input by another path", With({"-i", "good.fa", "-o", "./adir/../good.fa"}), kOutputError,
         "the same file as the input given with -i"},
        {"-o naming the matrix file", With({"-i", "good.fa", "-M", "ok.pwm", "-o", "ok.pwm"}), kOutputError,
         "ok.pwm: is the same file as the input given with -M"},
        {"-o naming the background file", With({"-i", "good.fa", "-b", "nomatrix.pwm", "-o", "nomatrix.pwm"}),
         kOutputError, "the same file as the input given with -b"},
        {"trace into the input", With({"-i", "good.fa", "--trace", "good.fa"}), kOutputError,
         "good.fa: is the same file as the input given with -i"},
        {"output folder holding the input", With({"-i", "folder/summary.json", "--outdir", "folder", "--force"}),
         kOutputError, "folder/summary.json: is the same file as the input given with -i"},
        {"-o inside the output folder", With({"-i", "good.fa", "-o", "folder/./result.txt", "--outdir", "folder",
                                               "--force"}),
         kOutputError, "folder/./result.txt: is a file of the output folder"},
        {"output folder not empty", With({"-i", "good.fa", "--outdir", "folder"}), "Output folder error!\n",
         "folder: the output folder is not empty; give --force to replace its files"},
        // Result files.
        {"directory as result file", With({"-i", "good.fa", "-o", "adir"}), kOutputError, "adir: is a directory"},
        {"empty result file name", With({"-i", "good.fa", "-o", ""}), kOutputError, "empty result file name"},
        {"result file in a missing directory", With({"-i", "good.fa", "-o", "nodir/r.txt"}), kOutputError,
         "its directory does not exist"},
        {"companion file is a directory", With({"-i", "good.fa", "-o", "r.txt"}), kOutputError,
         "r.txt_modpr.txt: is a directory"},
    };
    for (const REFUSEDCASE& c : cases) {
        PutEarlierBlocks(dir.m_Dir);
        CHILDRUN r = RunChild(dir.m_Dir, c.Args);
        ExpectRefused(dir.m_Dir, c.What + " [" + Joined(c.Args) + "]", r, c.Message, c.Because);
    }
    // Nothing was created beside the earlier files, and no input changed.
    EXPECT_EQ(GoodFasta(), ReadFile(dir.Path("good.fa")));
    EXPECT_EQ(GoodFasta(), ReadFile(dir.Path("folder/summary.json")));
    EXPECT_EQ("no matrix here\n", ReadFile(dir.Path("nomatrix.pwm")));
    EXPECT_EQ(Matrix("ACGTA"), ReadFile(dir.Path("ok.pwm")));
    EXPECT_FALSE(FileExists(dir.Path("good.fa_modpr.txt")));
    EXPECT_FALSE(FileExists(dir.Path("folder/result.txt")));
    EXPECT_FALSE(FileExists(dir.Path("r.txt")));
    EXPECT_FALSE(FileExists(dir.Path("nodir")));
    EXPECT_FALSE(FileExists(dir.Path("_modpr.txt")));
}

struct RUNCASE {
    std::string What;
    std::string Fasta;                // written as in.fa
    std::vector<std::string> Args;    // besides -i in.fa and the quick options
    int K;                            // motif sections expected
};

TEST(BadInput, OddButUsableInputsRunNormally)
{
    const std::string good = GoodFasta();
    const std::string megaLine = Repeat("ACGTTGCAAC", 100000);   // 1,000,000 letters
    // GenBank-style: position numbers, blocks of ten, blanks at the ends.
    std::string numbered;
    for (const std::string& seq : MakePlanted(6, 4, 95, "TGACGTCA", true).Seqs) {
        numbered += ">n" + std::to_string(numbered.size()) + "\n";
        for (size_t at = 0; at < seq.size(); at += 30) {
            numbered += std::to_string(at + 1);
            for (size_t b = at; b < at + 30 && b < seq.size(); b += 10)
                numbered += " " + seq.substr(b, 10);
            numbered += "  \r\n";
        }
    }
    const RUNCASE cases[] = {
        {"sequences of 1 letter", ">a\nA\n>b\nC\n>c\ng\n", {}, 3},
        {"sequences shorter than the smallest width", ">a\nACGT\n>b\nTTG\n>c\nGCA\n", {}, 3},
        {"sequences of exactly L letters", ToFasta(MakePlanted(8, 4, 30, "GATTACA", false).Seqs), {"-L", "30"}, 3},
        {"all-N sequences", ">a\n" + Repeat("N", 60) + "\n>b\n" + Repeat("n", 45) + "\n", {}, 3},
        {"N runs and letters mixed", ">a\n" + Repeat("ACGTN", 30) + "\n>b\nNNNNNNNNNNACGTACGTAC\n", {"-K", "2"}, 2},
        {"numbered lines in blocks of ten", numbered, {}, 3},
        {"soft-masked letters with --mask-lower", ">a\nACGTacgtnnACGTTGCA\n>b\nttttACGTACGGGCAT\n", {"--mask-lower"}, 3},
        {"CR LF line ends", ">a\r\nACGTACGTTGCA\r\nGGCATTACGA\r\n>b\r\nTTGACCAGTACCAGT\r\n", {"-K", "2"}, 2},
        {"a line of 1 MB and a name of 1 MB",
         ">" + Repeat("n", 1000000) + "\n" + megaLine + "\n>short\nACGTACGTAAC\n", {"-K", "1", "-n", "2"}, 1},
        {"K larger than the number of sequences", good, {"-K", "8"}, 8},
        {"-L smaller than the sum of the widths", good, {"-K", "4", "-L", "9"}, 4},
        {"-n 0", good, {"-n", "0"}, 3},
        {"-n 1", good, {"-n", "1"}, 3},
        {"-n 49", good, {"-n", "49", "-K", "2"}, 2},
        {"-n 51", good, {"-n", "51", "-K", "2"}, 2},
        {"-c 0", good, {"-c", "0", "-K", "2"}, 2},
        {"-c 1", good, {"-c", "1", "-K", "2"}, 2},
        {"-L 100000 with -d and -B", good, {"-L", "100000", "-d", "-B", "-K", "2"}, 2},
        {"model odds on 1-letter sequences", ">a\nA\n>b\nCG\n", {"-B"}, 3},
    };
    for (const RUNCASE& c : cases) {
        CTempDir dir;
        WriteFile(dir.Path("in.fa"), c.Fasta);
        PutEarlierBlocks(dir.m_Dir);
        std::vector<std::string> args = With({"-i", "in.fa"});
        args.insert(args.end(), c.Args.begin(), c.Args.end());   // later options override the quick ones
        CHILDRUN r = RunChild(dir.m_Dir, args);
        ExpectCompleteRun(dir.m_Dir, c.What, r, c.K, c.Fasta);
    }
}

// Side-file lines that name no existing sequence or position, or give a
// probability of 0 or less, are ignored: the run goes on normally. Matrices
// beyond the K-th are ignored, even malformed ones.
TEST(BadInput, IgnoredSideFileLinesRunNormally)
{
    const std::string good = GoodFasta();
    std::string bg;
    bg += "99\t0\t0.3\t0.3\t0.2\t0.2\t1\n";      // no sequence 99
    bg += "0\t0\t0.3\t0.3\t0.2\t0.2\t1\n";       // sequence 0 does not exist
    bg += "1\t0\t0.3\t0.3\t0.2\t0.2\t500\n";     // no position 500
    bg += "1\t0\t0.3\t0.3\t0.2\t0.2\t0\n";       // position 0 does not exist
    bg += "1\t0\t0\t0\t0\t0\t3\n";               // probability 0
    bg += "2\t0\t-1\t-1\t-1\t-1\t4\n";           // negative probabilities
    bg += "2\t0\tnan\tnan\tnan\tnan\t5\n";
    bg += "short\n\n";
    bg += "1\t0\t0.3\t0.3\t0.2\t0.2\t2\n";       // one good line
    const std::string pwm = Matrix("TGACGTC") + ">3 too narrow but beyond K\n" + Row('A') + ">0\n";
    struct SIDECASE {
        std::string What;
        std::string File;
        std::string Text;
        std::vector<std::string> Args;
        int K;
    };
    const SIDECASE cases[] = {
        {"background lines out of range", "bg.txt", bg, {"-b", "bg.txt"}, 3},
        {"empty background file", "bg.txt", "", {"-b", "bg.txt"}, 3},
        {"matrices beyond K", "m.pwm", pwm, {"-M", "m.pwm", "-K", "1"}, 1},
        {"a MEME file", "m.meme", "MEME version 4\n\nALPHABET= ACGT\n\nMOTIF M1 hb\n"
         "letter-probability matrix: alength= 4 w= 5 nsites= 9 E= 0\n" + Repeat(" 0.1 0.2 0.3 0.4\n", 5),
         {"-M", "m.meme"}, 3},
        {"a JASPAR file", "m.jaspar", ">MA1 x\nA [ 1 2 3 4 5 ]\nC [ 1 2 3 4 5 ]\nG [ 0 0 0 0 1 ]\nT [ 9 9 9 9 9 ]\n",
         {"-M", "m.jaspar", "-K", "2"}, 2},
    };
    for (const SIDECASE& c : cases) {
        CTempDir dir;
        WriteFile(dir.Path("in.fa"), good);
        WriteFile(dir.Path(c.File), c.Text);
        PutEarlierBlocks(dir.m_Dir);
        std::vector<std::string> args = With({"-i", "in.fa"});
        args.insert(args.end(), c.Args.begin(), c.Args.end());
        CHILDRUN r = RunChild(dir.m_Dir, args);
        ExpectCompleteRun(dir.m_Dir, c.What, r, c.K, good);
    }
}

// Options at the edge of their range that need no run: accepted with -N 0
// (nothing read, nothing printed, nothing written).
TEST(BadInput, LargestAcceptedValuesPassTheChecks)
{
    const std::vector<std::string> cases[] = {
        {"-n", "2147483647", "-N", "0"},
        {"-K", "1000", "-N", "0"},
        {"-L", "100000", "-N", "0"},
        {"-c", "1e-300", "-N", "0"},
    };
    for (const std::vector<std::string>& args : cases) {
        CTempDir dir;
        PutEarlierBlocks(dir.m_Dir);
        CHILDRUN r = RunChild(dir.m_Dir, args);
        EXPECT_EQ(0, r.Status) << Joined(args);
        EXPECT_EQ("", r.Stdout) << Joined(args);
        EXPECT_EQ("", r.Stderr) << Joined(args);
        EXPECT_EQ(kEarlierResult, ReadFile(dir.Path("Output.txt"))) << Joined(args);
        EXPECT_EQ(kEarlierModPr, ReadFile(dir.Path("Output.txt_modpr.txt"))) << Joined(args);
    }
}

// A file that cannot be read. Root reads every file whatever its mode, so
// as root the run is made as user nobody, from a copy of the program in the
// test's own directory (the build folder may lie inside a directory nobody
// cannot enter). Where nobody cannot be used, the case is skipped with a
// message.
TEST(BadInput, UnreadableSequenceFile)
{
    CTempDir dir;
    chmod(dir.m_Dir.c_str(), 0777);
    WriteFile(dir.Path("locked.fa"), GoodFasta());
    chmod(dir.Path("locked.fa").c_str(), 0);
    PutEarlierBlocks(dir.m_Dir);
    chmod(dir.Path("Output.txt").c_str(), 0666);
    chmod(dir.Path("Output.txt_modpr.txt").c_str(), 0666);
    LIMITS lim;
    lim.AsNobody = geteuid() == 0;
    bool unreadable = access(dir.Path("locked.fa").c_str(), R_OK) != 0;
    if (lim.AsNobody) {
        // Probe: can this process become nobody, and is the file then unreadable?
        pid_t pid = fork();
        if (pid == 0) {
            if (setgid(65534) != 0 || setuid(65534) != 0)
                _exit(2);
            _exit(access(dir.Path("locked.fa").c_str(), R_OK) != 0 ? 0 : 1);
        }
        int st = 0;
        waitpid(pid, &st, 0);
        unreadable = WIFEXITED(st) && WEXITSTATUS(st) == 0;
    }
    if (!unreadable)
        GTEST_SKIP() << "this user can read a file of mode 000 and cannot switch to user nobody";
    CHILDRUN r = RunChild(dir.m_Dir, With({"-i", "locked.fa"}), lim);
    if (r.Status == 127 || r.Status == -2)
        GTEST_SKIP() << "user nobody cannot run the program from " << dir.m_Dir;
    ExpectRefused(dir.m_Dir, "unreadable file", r, kSeqError, "cannot be opened (Permission denied)");
}

// Writing the result block fails part-way (a file-size limit stands in for
// a full disk): the partial block is taken back, and when the companion
// block fails the result-file block is taken back too, so both files keep
// exactly the earlier runs.
TEST(BadInput, FailedWriteLeavesNoPartialBlock)
{
    const std::string good = GoodFasta();
    struct WRITECASE {
        std::string What;
        long long Limit;       // bytes any file may reach
        std::string Failing;   // the file named in the explanation
    };
    // The result block of this run is about 270 bytes, the companion block
    // about 2.9 kB; the earlier blocks are under 100 bytes.
    const WRITECASE cases[] = {
        {"result block cut", 200, "Output.txt: writing the result block failed (File too large)"},
        {"companion block cut", 2000, "Output.txt_modpr.txt: writing the result block failed (File too large)"},
    };
    for (const WRITECASE& c : cases) {
        CTempDir dir;
        WriteFile(dir.Path("in.fa"), good);
        PutEarlierBlocks(dir.m_Dir);
        LIMITS lim;
        lim.FileSize = c.Limit;
        std::vector<std::string> args = With({"-i", "in.fa"});
        CHILDRUN r = RunChild(dir.m_Dir, args, lim);
        EXPECT_EQ(1, r.Status) << c.What;
        std::string expectOut = std::string(kBanner) + "./Ruzaravo " + Joined(args) + "\nInput 6 sequences.\n" +
                                kOutputError;
        EXPECT_EQ(expectOut, r.Stdout) << c.What;
        EXPECT_NE(std::string::npos, r.Stderr.find(c.Failing)) << c.What << ": " << r.Stderr;
        EXPECT_EQ(kEarlierResult, ReadFile(dir.Path("Output.txt"))) << c.What;
        EXPECT_EQ(kEarlierModPr, ReadFile(dir.Path("Output.txt_modpr.txt"))) << c.What;
    }
    // Without the limit the same run writes both blocks (the limits above
    // really cut them).
    CTempDir dir;
    WriteFile(dir.Path("in.fa"), good);
    PutEarlierBlocks(dir.m_Dir);
    CHILDRUN r = RunChild(dir.m_Dir, With({"-i", "in.fa"}));
    ExpectCompleteRun(dir.m_Dir, "unlimited", r, 3, good);
    EXPECT_GT(ReadFile(dir.Path("Output.txt")).size(), 200u);
    EXPECT_GT(ReadFile(dir.Path("Output.txt_modpr.txt")).size(), 2000u);
    EXPECT_LT(ReadFile(dir.Path("Output.txt")).size(), 2000u);
}

// An input too large for the memory available (here a 128 MB address-space
// limit and K = 1000 on 20,000 letters, which needs about 480 MB of tables)
// stops with a clear message and leaves the result files as they were. The
// sanitizer's allocator reserves far more address space than any such
// limit and ends the process itself on a failed allocation, so this case
// runs in the plain build only.
#if !defined(__SANITIZE_ADDRESS__)
TEST(BadInput, NotEnoughMemory)
{
    CTempDir dir;
    std::string fasta = ">big\n" + Repeat("ACGTTGCAAT", 2000) + "\n";
    WriteFile(dir.Path("big.fa"), fasta);
    PutEarlierBlocks(dir.m_Dir);
    LIMITS lim;
    lim.AddressSpace = 128LL << 20;
    std::vector<std::string> args = {"-i", "big.fa", "-K", "1000", "-n", "2", "--seed", "1"};
    CHILDRUN r = RunChild(dir.m_Dir, args, lim);
    EXPECT_EQ(1, r.Status);
    EXPECT_EQ(std::string(kBanner) + "./Ruzaravo " + Joined(args) + "\nInput 1 sequences.\n" + kMemoryError,
              r.Stdout);
    EXPECT_EQ(0u, r.Stderr.find("Seed: 1\nRuzaravo: not enough memory")) << r.Stderr;
    EXPECT_EQ(kEarlierResult, ReadFile(dir.Path("Output.txt")));
    EXPECT_EQ(kEarlierModPr, ReadFile(dir.Path("Output.txt_modpr.txt")));
}
#endif

namespace {

// The result block of a run without its command line (the only line that
// names the input form), and the companion file.
std::string BlockWithoutCommandLine(const std::string& dir)
{
    std::string r = ReadFile(dir + "/Output.txt");
    size_t first = r.find('\n'), second = r.find('\n', first + 1);
    return second == std::string::npos ? r : r.substr(0, first) + r.substr(second) +
                                                 ReadFile(dir + "/Output.txt_modpr.txt");
}

}  // namespace

// The same sequences given as plain text, gzip, BGZF, numbered blocks of
// ten, or through standard input (plain or gzip) give the same result to
// the bit; --mask-lower gives what writing N for each lower-case letter
// gives.
TEST(BadInput, EveryInputFormGivesTheSameResult)
{
    PLANTED data = MakePlanted(12, 6, 90, "TGACGTCA", true);
    const std::string plain = ToFasta(data.Seqs, "s");
    std::string blocks;
    for (size_t i = 0; i < data.Seqs.size(); i++) {
        blocks += ">s" + std::to_string(i + 1) + "\n";   // ToFasta's names
        for (size_t at = 0; at < data.Seqs[i].size(); at += 10)
            blocks += std::to_string(at + 1) + " " + data.Seqs[i].substr(at, 10) + " \n";
    }
    ASSERT_EQ(0u, plain.find(">s1\n"));
    struct FORM {
        std::string What, File, Content, Stdin;
    };
    const FORM forms[] = {
        {"plain", "in.fa", plain, ""},
        {"gzip", "in.fa.gz", GzipText(plain), ""},
        {"BGZF", "in.fa.bgz", BgzfText(plain, 100), ""},
        {"numbered blocks", "in.txt", blocks, ""},
        {"standard input", "-", plain, "stdin.fa"},
        {"gzip on standard input", "-", GzipText(plain), "stdin.fa"},
    };
    std::string expected;
    for (const FORM& f : forms) {
        CTempDir dir;
        LIMITS lim;
        if (f.Stdin.empty()) {
            WriteFile(dir.Path(f.File), f.Content);
        } else {
            WriteFile(dir.Path(f.Stdin), f.Content);
            lim.Stdin = dir.Path(f.Stdin);
        }
        CHILDRUN r = RunChild(dir.m_Dir, With(With({"-i", f.File, "-K", "2"}), {"-n", "100"}), lim);
        EXPECT_EQ(0, r.Status) << f.What << ": " << r.Stderr;
        EXPECT_NE(std::string::npos, r.Stdout.find("\nInput 6 sequences.\n")) << f.What;
        std::string block = BlockWithoutCommandLine(dir.m_Dir);
        if (expected.empty())
            expected = block;
        EXPECT_TRUE(block == expected) << f.What << " differs from the plain file";
    }
    // Soft-masking: lower-case letters read as N with --mask-lower only.
    std::vector<std::string> softSeqs = data.Seqs, hardSeqs = data.Seqs;
    for (size_t i = 0; i < softSeqs.size(); i++) {
        for (size_t j = 0; j < softSeqs[i].size(); j++) {
            if ((j / 9) % 3 == 1) {   // stretches of 9 letters, a third of each sequence
                softSeqs[i][j] = (char)tolower(softSeqs[i][j]);
                hardSeqs[i][j] = 'N';
            }
        }
    }
    const std::string soft = ToFasta(softSeqs, "s"), hard = ToFasta(hardSeqs, "s");
    std::string blocksOf[3];
    const std::pair<std::string, std::vector<std::string>> runs[3] = {
        {soft, {"--mask-lower"}}, {hard, {}}, {soft, {}}};
    for (int i = 0; i < 3; i++) {
        CTempDir dir;
        WriteFile(dir.Path("in.fa"), runs[i].first);
        std::vector<std::string> args = With(With({"-i", "in.fa", "-K", "2"}), {"-n", "100"});
        CHILDRUN r = RunChild(dir.m_Dir, With(args, runs[i].second));
        EXPECT_EQ(0, r.Status) << r.Stderr;
        blocksOf[i] = BlockWithoutCommandLine(dir.m_Dir);
    }
    EXPECT_EQ(blocksOf[0], blocksOf[1]) << "--mask-lower must read lower case as N";
    EXPECT_TRUE(blocksOf[2] == expected) << "without --mask-lower case does not matter";
    EXPECT_FALSE(blocksOf[0] == expected) << "the masked letters must change the run";
}

// Without --seed two runs started at the same moment take different seeds;
// every run prints its seed on standard error, and that seed repeats the
// run exactly. Run r of -N uses seed + r.
TEST(BadInput, SeedsDifferPerRunAndRepeatTheRun)
{
    const std::string good = GoodFasta();
    std::vector<std::string> seeds;
    std::vector<std::string> blocks;
    for (int i = 0; i < 2; i++) {
        CTempDir dir;
        WriteFile(dir.Path("in.fa"), good);
        CHILDRUN r = RunChild(dir.m_Dir, {"-i", "in.fa", "-n", "20", "-K", "2", "-w", "5", "-W", "7"});
        ASSERT_EQ(0, r.Status);
        ASSERT_EQ(0u, r.Stderr.find("Seed: ")) << r.Stderr;
        ASSERT_EQ(1, CountOf(r.Stderr, "\n")) << r.Stderr;
        seeds.push_back(r.Stderr.substr(6, r.Stderr.size() - 7));
        blocks.push_back(BlockWithoutCommandLine(dir.m_Dir));
        // The printed seed repeats this run.
        CTempDir again;
        WriteFile(again.Path("in.fa"), good);
        CHILDRUN s = RunChild(again.m_Dir, {"-i", "in.fa", "-n", "20", "-K", "2", "-w", "5", "-W", "7", "--seed",
                                             seeds.back()});
        EXPECT_EQ("Seed: " + seeds.back() + "\n", s.Stderr);
        EXPECT_TRUE(BlockWithoutCommandLine(again.m_Dir) == blocks.back());
    }
    EXPECT_NE(seeds[0], seeds[1]);
    CTempDir dir;
    WriteFile(dir.Path("in.fa"), good);
    CHILDRUN r = RunChild(dir.m_Dir, With(With({"-i", "in.fa", "-N", "3"}), {"--seed", "4294967294"}));
    EXPECT_EQ("Seed: 4294967294\nSeed: 4294967295\nSeed: 0\n", r.Stderr);
    // The block's command line stays as typed.
    EXPECT_EQ(3, CountOf(ReadFile(dir.Path("Output.txt")), "--seed 4294967294 \n"));
}

// A trace shared by several invocations has one header; a run stopped with
// Ctrl-C (SIGINT) leaves it ending on a whole row.
TEST(BadInput, TraceHasOneHeaderAndOnlyWholeRows)
{
    const std::string good = GoodFasta();
    CTempDir dir;
    WriteFile(dir.Path("in.fa"), good);
    for (int i = 0; i < 2; i++)
        ASSERT_EQ(0, RunChild(dir.m_Dir, With({"-i", "in.fa", "-N", "2", "--trace", "t.tsv"})).Status);
    std::string trace = ReadFile(dir.Path("t.tsv"));
    EXPECT_EQ(1, CountOf(trace, "run\tsweep"));
    EXPECT_EQ(1 + 2 * 2 * 3, CountOf(trace, "\n"));

    // A long run, interrupted once the trace holds a few rows.
    const std::string link = dir.Path("Ruzaravo");
    pid_t pid = fork();
    if (pid == 0) {
        int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
        if (chdir(dir.m_Dir.c_str()) != 0)
            _exit(125);
        alarm(120);
        execl("./Ruzaravo", "./Ruzaravo", "-i", "in.fa", "-n", "1000000", "-K", "8", "--seed", "3", "--trace",
              "long.tsv", (char*)nullptr);
        _exit(127);
    }
    while (CountOf(ReadFile(dir.Path("long.tsv")), "\n") < 20)
        usleep(1000);
    kill(pid, SIGINT);
    int st = 0;
    waitpid(pid, &st, 0);
    EXPECT_TRUE(WIFSIGNALED(st) && WTERMSIG(st) == SIGINT);
    std::string cut = ReadFile(dir.Path("long.tsv"));
    ASSERT_FALSE(cut.empty());
    EXPECT_EQ('\n', cut.back());
    EXPECT_EQ(CountOf(cut, "\n") * 7, CountOf(cut, "\t")) << "every row has 8 fields";
    EXPECT_EQ(kEarlierResult, kEarlierResult);   // no result file was touched:
    EXPECT_FALSE(FileExists(dir.Path("Output.txt")) && ReadFile(dir.Path("Output.txt")).find("-n 1000000") !=
                                                           std::string::npos);
}

namespace {

// Runs the program with standard error on a pseudo-terminal (as when a
// person watches it) and standard output into a file; returns what the
// terminal showed. Status -2: no pseudo-terminal on this machine.
CHILDRUN RunOnTerminal(const std::string& dir, const std::vector<std::string>& args)
{
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0 || !ptsname(master))
        return CHILDRUN{-2, "", ""};
    const std::string slave = ptsname(master);
    const std::string link = dir + "/Ruzaravo", out = dir + "/stdout.txt";
    if (!FileExists(link) && symlink(RUZARAVO_EXE, link.c_str()) != 0)
        return CHILDRUN{-2, "", ""};
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>("./Ruzaravo"));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        int tty = open(slave.c_str(), O_RDWR);
        int fo = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        int in = open("/dev/null", O_RDONLY);
        if (tty < 0 || fo < 0 || in < 0 || chdir(dir.c_str()) != 0)
            _exit(125);
        dup2(in, 0);
        dup2(fo, 1);
        dup2(tty, 2);
        close(master);
        alarm(120);
        execv(argv[0], argv.data());
        _exit(127);
    }
    std::string shown;
    char buf[4096];
    for (;;) {   // read until the child has gone and closed its end
        ssize_t got = read(master, buf, sizeof buf);
        if (got <= 0)
            break;
        shown.append(buf, (size_t)got);
    }
    int st = 0;
    waitpid(pid, &st, 0);
    close(master);
    return CHILDRUN{WIFEXITED(st) ? WEXITSTATUS(st) : -1, ReadFile(out), shown};
}

}  // namespace

// On a terminal one progress line follows the job (run i of N, sweep, the
// job's share, elapsed, the job's time left) and ends at 100 %; --quiet
// silences it and the progress lines of standard output; through a pipe
// standard error gets only the seeds (a log line comes only after 30 s),
// and standard output stays as it was. Chains on two threads are named as
// chains, and their progress line too ends at the whole job.
TEST(BadInput, ProgressLineOnATerminalOnly)
{
    const std::string good = GoodFasta();
    CTempDir dir;
    WriteFile(dir.Path("in.fa"), good);
    const std::vector<std::string> args = {"-i", "in.fa", "-n", "120", "-K", "2", "-w", "5", "-W", "7",
                                           "-N", "2", "--seed", "9"};
    CHILDRUN tty = RunOnTerminal(dir.m_Dir, args);
    if (tty.Status == -2)
        GTEST_SKIP() << "no pseudo-terminal available";
    ASSERT_EQ(0, tty.Status) << tty.Stderr;
    for (const char* run : {"run 1 of 2  sweep ", "run 2 of 2  sweep "})
        EXPECT_NE(std::string::npos, tty.Stderr.find(run)) << tty.Stderr;
    EXPECT_NE(std::string::npos, tty.Stderr.find("run 2 of 2  sweep 120/120  job 100%  elapsed ")) << tty.Stderr;
    EXPECT_NE(std::string::npos, tty.Stderr.find("  left ")) << tty.Stderr;
    EXPECT_NE(std::string::npos, tty.Stderr.find("Seed: 9")) << tty.Stderr;
    EXPECT_EQ(4, CountOf(tty.Stdout, "Finish runing iteration "));

    CHILDRUN piped = RunChild(dir.m_Dir, args);
    EXPECT_EQ("Seed: 9\nSeed: 10\n", piped.Stderr);
    EXPECT_EQ(tty.Stdout, piped.Stdout);   // standard output does not depend on the terminal

    std::vector<std::string> quietArgs = args;
    quietArgs.push_back("--quiet");
    CHILDRUN quiet = RunOnTerminal(dir.m_Dir, quietArgs);
    ASSERT_EQ(0, quiet.Status);
    EXPECT_EQ(std::string::npos, quiet.Stderr.find("sweep")) << quiet.Stderr;
    EXPECT_EQ(0, CountOf(quiet.Stdout, "Finish runing iteration "));
    EXPECT_EQ(2, CountOf(quiet.Stdout, "\nInput 6 sequences.\n"));

    const std::vector<std::string> chainArgs = {"-i", "in.fa", "-n", "120", "-K", "2", "-w", "5", "-W", "7",
                                                "--chains", "3", "--seed", "9", "--threads", "2"};
    CHILDRUN chains = RunOnTerminal(dir.m_Dir, chainArgs);
    ASSERT_EQ(0, chains.Status) << chains.Stderr;
    EXPECT_NE(std::string::npos, chains.Stderr.find("chain 1 of 3  sweep ")) << chains.Stderr;
    EXPECT_NE(std::string::npos, chains.Stderr.find("chain 3 of 3  sweep 120/120  job 100%  elapsed ")) << chains.Stderr;
    EXPECT_EQ(6, CountOf(chains.Stdout, "Finish runing iteration "));
    CHILDRUN chainsPiped = RunChild(dir.m_Dir, chainArgs);
    EXPECT_EQ(std::string::npos, chainsPiped.Stderr.find("sweep")) << chainsPiped.Stderr;
    EXPECT_EQ(chains.Stdout, chainsPiped.Stdout);
    std::vector<std::string> quietChains = chainArgs;
    quietChains.push_back("--quiet");
    EXPECT_EQ(std::string::npos, RunOnTerminal(dir.m_Dir, quietChains).Stderr.find("sweep"));
}
