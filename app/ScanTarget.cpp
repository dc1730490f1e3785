// The two passes over the scan's target (see the header).
#include "app/ScanTarget.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>

#include "base/Fatal.h"
#include "base/Helpers.h"
#include "io/FastaStream.h"
#include "output/Coordinates.h"

namespace {

// Letters read from the input at a time.
const size_t kPiece = 1 << 20;
// Skipped sequences named one by one; the rest are counted.
const size_t kNamedSkips = 10;

std::string FirstWord(const std::string& name)
{
    size_t b = name.compare(0, 1, ">") == 0 ? 1 : 0;
    size_t e = name.find_first_of(" \t\r", b);
    return name.substr(b, e == std::string::npos ? std::string::npos : e - b);
}

// Copies the one-pass input fd to an unnamed temporary file; its
// descriptor, or -1 with the reason.
int Spool(int fd, const std::string& subject, std::string* reason)
{
    const char* dir = getenv("TMPDIR");
    std::string path = std::string(dir && *dir ? dir : "/tmp") + "/ruzaravo-scan-XXXXXX";
    int out = mkstemp(&path[0]);
    if (out < 0) {
        *reason = path + ": a temporary copy of " + subject + " cannot be made (" + strerror(errno) + ")";
        return -1;
    }
    unlink(path.c_str());
    char buf[1 << 16];
    for (;;) {
        ssize_t got = read(fd, buf, sizeof buf);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            *reason = subject + ": the input cannot be read (" + strerror(errno) + ")";
            close(out);
            return -1;
        }
        if (got == 0)
            break;
        for (ssize_t at = 0; at < got;) {
            ssize_t put = write(out, buf + at, (size_t)(got - at));
            if (put < 0 && errno == EINTR)
                continue;
            if (put < 0) {
                *reason = path + ": the temporary copy of " + subject + " cannot be written (" + strerror(errno) +
                          ")";
                close(out);
                return -1;
            }
            at += put;
        }
    }
    return out;
}

// Opens a pass over the target: the spool (or redirected standard input)
// from its start, or the input.
std::unique_ptr<FastaStream> OpenPass(const ScanOptions& o, const ScanTarget& t, std::string* reason)
{
    int fd = -1;
    if (t.spool >= 0) {
        fd = dup(t.spool);
        if (fd >= 0 && lseek(fd, t.spoolStart, SEEK_SET) < 0) {
            *reason = o.target + ": the input cannot be read again (" + strerror(errno) + ")";
            close(fd);
            return nullptr;
        }
    }
    std::unique_ptr<FastaStream> in = FastaStream::Open(o.target, o.maskLower, fd);
    if (!in)
        *reason = NotedInputError();
    return in;
}

// Whether the target must be copied to be read twice.
bool IsOnePass(const std::string& path)
{
    struct stat st;
    return path == "-" || (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode) &&
                           !S_ISCHR(st.st_mode) && !S_ISBLK(st.st_mode));
}

// Names and places one record's sequence; false with the reason.
bool Place(const ScanOptions& o, const std::string& nameLine, ScanSequence* s, std::string* reason)
{
    s->name = FirstWord(nameLine);
    s->chrom = s->name;
    if (!o.genome)
        return true;
    SeqPlace place;
    if (!ParseGenomeName(s->name, &place)) {
        *reason = o.target + ": sequence " + s->name +
                  " is not named chrom:start-end (as bedtools getfasta names it), needed by --genome-coords";
        return false;
    }
    s->chrom = place.chrom;
    s->offset = place.offset;
    return true;
}

std::string TooShort(const ScanOptions& o, const ScanSequence& s)
{
    return "sequence " + s.name + " has " + std::to_string(s.length) + " letters, fewer than the module length " +
           std::to_string(o.moduleLength);
}

}  // namespace

ScanTarget::~ScanTarget()
{
    if (spool >= 0)
        close(spool);
}

// A target that cannot be read twice (a pipe) is first copied to a spool
// file; standard input redirected from a file is read twice in place.
static bool MakeReadableTwice(const ScanOptions& o, ScanTarget* t, std::string* reason)
{
    struct stat st;
    if (o.target == "-" && fstat(0, &st) == 0 && S_ISREG(st.st_mode)) {
        // Standard input redirected from a file: read it twice from where it stands.
        t->spoolStart = lseek(0, 0, SEEK_CUR);
        t->spool = t->spoolStart < 0 ? -1 : dup(0);
    }
    if (t->spool < 0 && IsOnePass(o.target)) {
        int fd = o.target == "-" ? 0 : open(o.target.c_str(), O_RDONLY);
        t->spool = fd < 0 ? -1 : Spool(fd, o.target == "-" ? "standard input" : o.target, reason);
        if (fd > 0)
            close(fd);
        if (t->spool < 0)
            return false;
    }
    return true;
}

// Reads the letters of one record, counting its length and its A, C, G, T
// (returned) and adding it to the chain counts; the first L letters wait
// until the sequence proves long enough to be scanned.
static long long MeasureRecord(const ScanOptions& o, FastaStream* in, ChainCounter* counter, std::string* piece,
                               ScanSequence* s)
{
    std::string head;
    long long nucleotides = 0;
    for (;;) {
        piece->clear();
        if (in->Letters(piece, kPiece) == 0)
            break;
        s->length += (long long)piece->size();
        for (char c : *piece)
            nucleotides += NucleotideCode(c) >= 0;
        if ((long long)head.size() < o.moduleLength) {
            head += *piece;
            if ((long long)head.size() >= o.moduleLength)
                counter->Add(head.data(), head.size());
        } else {
            counter->Add(piece->data(), piece->size());
        }
    }
    counter->EndSequence();
    return nucleotides;
}

bool SurveyTarget(const ScanOptions& o, int maxWidth, ScanTarget* t, std::string* reason)
{
    if (!MakeReadableTwice(o, t, reason))
        return false;
    std::unique_ptr<FastaStream> in = OpenPass(o, *t, reason);
    if (!in)
        return false;
    ChainCounter counter(o.bgOrder);
    std::string name, piece, firstShort;
    size_t skipped = 0;
    std::set<std::string> unnamed = o.only;
    while (in->NextRecord(&name)) {
        ScanSequence s;
        if (!Place(o, name, &s, reason))
            return false;
        unnamed.erase(s.name);
        long long nucleotides = MeasureRecord(o, in.get(), &counter, &piece, &s);
        if (s.length < o.moduleLength) {
            if (firstShort.empty())
                firstShort = TooShort(o, s);
            if (skipped++ < kNamedSkips)
                t->warnings.push_back(TooShort(o, s) + ": skipped");
            t->kept.push_back(-1);
            continue;
        }
        t->nucleotides += nucleotides;
        if (!o.only.empty() && !o.only.count(s.name)) {
            t->kept.push_back(kNullOnly);
            continue;
        }
        t->letters += s.length;
        t->kept.push_back((int)t->sequences.size());
        t->sequences.push_back(std::move(s));
    }
    if (!in->Finish()) {
        *reason = NotedInputError();
        return false;
    }
    if (skipped > kNamedSkips)
        t->warnings.push_back(std::to_string(skipped - kNamedSkips) + " more sequences shorter than the module "
                              "length " + std::to_string(o.moduleLength) + ": skipped");
    if (!unnamed.empty()) {
        *reason = "--only " + *unnamed.begin() + ": " + o.target + " holds no sequence of that name";
        return false;
    }
    if (t->sequences.empty()) {
        *reason = o.target + ": " + firstShort + " (leave it out, or give a shorter --module-length)";
        return false;
    }
    if (t->nucleotides < o.moduleLength + maxWidth) {
        *reason = o.target + ": only " + std::to_string(t->nucleotides) +
                  " letters are A, C, G or T: too few to scan or to shuffle for the null";
        return false;
    }
    t->chain = counter.Chain();
    return true;
}

bool FeedTarget(const ScanOptions& o, const ScanTarget& t, ScanStream* stream, std::string* reason)
{
    std::unique_ptr<FastaStream> in = OpenPass(o, t, reason);
    if (!in)
        return false;
    std::string name, piece;
    size_t record = 0;
    bool changed = false;
    while (in->NextRecord(&name)) {
        if (record >= t.kept.size())
            break;
        const int k = t.kept[record++];
        if (k == kNullOnly) {
            while (piece.clear(), in->Letters(&piece, kPiece) > 0)
                stream->PassToNull(piece.data(), piece.size());
            continue;
        }
        if (k < 0)
            continue;
        stream->Begin(k);
        long long length = 0;
        for (;;) {
            piece.clear();
            if (in->Letters(&piece, kPiece) == 0)
                break;
            length += (long long)piece.size();
            stream->Add(piece.data(), piece.size());
        }
        stream->End();
        if ((changed = length != t.sequences[(size_t)k].length))
            break;
    }
    if (in->Failed()) {
        *reason = NotedInputError();
        return false;
    }
    if (changed || record != t.kept.size() || in->NextRecord(&name)) {
        *reason = o.target + ": the file changed while it was scanned";
        return false;
    }
    return true;
}
