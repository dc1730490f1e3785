#include "support/TestSupport.h"

#include <sys/stat.h>
#include <unistd.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include <zlib.h>

#include "base/Helpers.h"

CTempDir::CTempDir()
{
    char templ[] = "/tmp/ruzaravo_test_XXXXXX";
    char* made = mkdtemp(templ);
    m_Dir = made ? made : "/tmp";
}

CTempDir::~CTempDir()
{
    std::string cmd = "rm -rf '" + m_Dir + "'";
    if (m_Dir != "/tmp")
        (void)system(cmd.c_str());
}

std::string ShellQuote(const std::string& s)
{
    std::string out = "'";
    for (char c : s) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

RUNRESULT RunRuzaravo(const std::vector<std::string>& args, const std::string& dir)
{
    // Run through a link in dir so that the command line the program
    // records starts with ./Ruzaravo whichever build it comes from.
    std::string link = dir + "/Ruzaravo";
    if (!FileExists(link) && symlink(RUZARAVO_EXE, link.c_str()) != 0)
        return RUNRESULT{-1, ""};
    std::string cmd = "cd " + ShellQuote(dir) + " && ./Ruzaravo";
    for (const std::string& a : args)
        cmd += " " + ShellQuote(a);
    cmd += " 2>/dev/null </dev/null";
    return RunShell(cmd);
}

RUNRESULT RunShell(const std::string& command)
{
    RUNRESULT r{-1, ""};
    FILE* p = popen(command.c_str(), "r");
    if (!p)
        return r;
    char buf[4096];
    size_t got;
    while ((got = fread(buf, 1, sizeof buf, p)) > 0)
        r.Stdout.append(buf, got);
    int st = pclose(p);
    r.Status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream f(path, std::ios::binary);
    f << text;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

bool FileExists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

SITEINFO*** NewSiteTable(int K, int N)
{
    SITEINFO*** table = new SITEINFO**[K];
    for (int k = 0; k < K; k++) {
        table[k] = new SITEINFO*[N];
        for (int i = 0; i < N; i++)
            table[k][i] = new SITEINFO;
    }
    return table;
}

// Small LCG of the tests' own, independent of any run's generator.
static unsigned NextRandom(unsigned& state)
{
    state = state * 1103515245u + 12345u;
    return (state >> 16) & 0x7fff;   // the high bits: the low ones of an LCG repeat with short periods
}

static std::string ReverseComplement(const std::string& s)
{
    std::string out(s.rbegin(), s.rend());
    for (char& c : out)
        c = Complement(c);
    return out;
}

PLANTED MakePlanted(unsigned seed, int n, int len, const std::string& motif, bool bothStrands)
{
    PLANTED p;
    unsigned state = seed;
    const char* letters = "ACGT";
    for (int i = 0; i < n; i++) {
        std::string s;
        for (int j = 0; j < len; j++)
            s += letters[NextRandom(state) % 4];
        int pos = (int)(NextRandom(state) % (unsigned)(len - motif.size() + 1));
        bool forward = !bothStrands || NextRandom(state) % 2 == 0;
        s.replace(pos, motif.size(), forward ? motif : ReverseComplement(motif));
        p.Seqs.push_back(s);
        p.SitePos.push_back(pos);
        p.SiteForward.push_back(forward);
    }
    return p;
}

std::string ToFasta(const std::vector<std::string>& seqs, const std::string& prefix)
{
    std::string out;
    for (size_t i = 0; i < seqs.size(); i++)
        out += ">" + prefix + std::to_string(i + 1) + "\n" + seqs[i] + "\n";
    return out;
}

std::string CheckState(CGibbsDP& g, bool nonOverlap)
{
    std::ostringstream err;
    int K = g.m_MotifNum;
    for (int k = 0; k < K; k++) {
        int w = g.m_Width[k];
        if (w < 1 || w >= kWidthHistSize)
            err << "motif " << k << " width " << w << " out of bounds; ";
        int* counts = new int[4 * w];
        int n = g.CalWeightMat(g.m_Sites[k], counts, w);
        if (n != g.m_SiteNum[k])
            err << "motif " << k << " m_SiteNum " << g.m_SiteNum[k] << " != recount " << n << "; ";
        for (int c = 0; c < 4 * w; c++)
            if (counts[c] != g.m_CountMat[k][c]) {
                err << "motif " << k << " count matrix differs from recount at " << c << "; ";
                break;
            }
        delete[] counts;
    }
    for (int i = 0; i < g.m_SeqNum; i++) {
        int len = g.m_Seq[i].GetLength();
        int Lm = g.m_ModLen < len ? g.m_ModLen : len;
        MODULEINFO& mi = g.m_ModInfo[i];
        for (int j = 0; j < mi.ModCount; j++) {
            int s = mi.ModStart[j];
            if (s < 0 || s + Lm > len)
                err << "seq " << i << " module start " << s << " out of range; ";
            if (j > 0 && mi.ModStart[j] >= mi.ModStart[j - 1])
                err << "seq " << i << " module starts not descending; ";
        }
        std::vector<char> used(len > 0 ? len : 1, 0);
        for (int k = 0; k < K; k++) {
            for (SITEINFO* s = g.m_Sites[k][i]->Next; s; s = s->Next) {
                int w = s->Word.GetLength();
                if (w != g.m_Width[k])
                    err << "seq " << i << " motif " << k << " word length " << w << "; ";
                if (s->Pos < 0 || s->Pos + w > len) {
                    err << "seq " << i << " site at " << s->Pos << " outside sequence; ";
                    continue;
                }
                CString window = g.m_Seq[i].Mid(s->Pos, w);
                CString expect = s->Strand ? window : Reverse(window);
                if (!(expect == s->Word))
                    err << "seq " << i << " site word does not match sequence at " << s->Pos << "; ";
                bool inside = false;
                for (int j = 0; j < mi.ModCount; j++)
                    if (s->Pos >= mi.ModStart[j] && s->Pos + w <= mi.ModStart[j] + Lm)
                        inside = true;
                if (!inside)
                    err << "seq " << i << " site at " << s->Pos << " outside every module; ";
                if (nonOverlap) {
                    for (int p = s->Pos; p < s->Pos + w; p++) {
                        if (used[p])
                            err << "seq " << i << " sites overlap at " << p << "; ";
                        used[p] = 1;
                    }
                }
            }
        }
    }
    return err.str();
}

// Raw deflate of text.
static std::string Deflated(const std::string& text)
{
    z_stream z;
    memset(&z, 0, sizeof z);
    deflateInit2(&z, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, text.size()) + 16, '\0');
    z.next_in = (Bytef*)text.data();
    z.avail_in = (uInt)text.size();
    z.next_out = (Bytef*)&out[0];
    z.avail_out = (uInt)out.size();
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

static void PutLE(std::string* s, unsigned long v, int bytes)
{
    for (int i = 0; i < bytes; i++)
        s->push_back((char)((v >> (8 * i)) & 0xff));
}

// One gzip member; with bgzf, the BC extra field holding the member size - 1.
static std::string GzipMember(const std::string& text, bool bgzf)
{
    std::string body = Deflated(text);
    std::string m("\x1f\x8b\x08", 3);
    m.push_back(bgzf ? 4 : 0);   // FEXTRA
    PutLE(&m, 0, 4);             // no time stamp
    m.push_back(0);
    m.push_back((char)3);        // Unix
    if (bgzf) {
        PutLE(&m, 6, 2);
        m += "BC";
        PutLE(&m, 2, 2);
        PutLE(&m, 18 + 6 + body.size() + 8 - 1, 2);
    }
    m += body;
    PutLE(&m, crc32(crc32(0, nullptr, 0), (const Bytef*)text.data(), (uInt)text.size()), 4);
    PutLE(&m, (unsigned long)text.size(), 4);
    return m;
}

std::string GzipText(const std::string& text)
{
    return GzipMember(text, false);
}

std::string BgzfText(const std::string& text, size_t blockSize)
{
    std::string out;
    for (size_t at = 0; at < text.size(); at += blockSize)
        out += GzipMember(text.substr(at, blockSize), true);
    return out + GzipMember("", true);
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        out.push_back(line);
    return out;
}

std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> out;
    std::istringstream in(line);
    std::string f;
    while (std::getline(in, f, '\t'))
        out.push_back(f);
    return out;
}
