// The two texts about options: the short usage text a start without
// arguments prints (kept as it has always been), and the complete help of
// --help and -h: every option with its value, range and default, one line
// each, grouped by what it is about. An option added to the parser gets
// its line here.
#include <cstdio>

#include "app/Options.h"

void PrintReadme()
{
    printf("\n******************************\n");
    printf("   Ruzaravo 1.0 Dec. 5 2005.\n");
    printf("******************************\n");
    printf("\nUsage: ./Ruzaravo -i Seqfile (options)\n");
    printf("Seqfile must be in FASTA format and each line in the file should contain no more than 10K characters\n\n");
    printf("Options:\n");
    printf("\t-o\tOutput file (default output.txt)\n");
    printf("\t-n\tMaximum number of iterations (default 2000)\n");
    printf("\t-c\tThreshold for motif prediction (between 0 and 1; default 0.5)\n");
    printf("\t\tYou may increase this parameter if Ruzaravo predicts many sites\n");
    printf("\t-r\t1: search for both strands; 0: only search for forward strand (default 1)\n");
    printf("\t-K\tNumber of transcription factors (default 3)\n");
    printf("\t-L\tModule length (default 200)\n");
    printf("\t-w\tMinimum width for motifs (default 10); should be >= 5 \n");
    printf("\t-W\tMaximum width for motifs (default 14); should be <= 40 \n");
    printf("\t-P\tSample parameters each iteration. See readme file for details\n");
    printf("\t-B\tOutput log-posterior model odds over null model (pure background)\n");
    printf("\t-s\tDegerate to search for K independent motifs without considering module structure\n");
}

static const char* const kHelp[] = {
    RUZARAVO_VERSION " - de novo discovery of cis-regulatory modules with a Gibbs sampler",
    "",
    "Usage: Ruzaravo -i SEQUENCES.fa [options]",
    "",
    "Input:",
    "  -i FILE         FASTA sequences, gzip or BGZF allowed, - for standard input (default: none; required)",
    "  -b FILE         per-position background probabilities, 7 tab-separated fields a line (default: none)",
    "  -M FILE         known weight matrices; matrix k seeds motif k in the first sweep (default: none)",
    "  --mask-lower    read lower-case (soft-masked) letters as N (default: off)",
    "  --bg-fasta FILE estimate the background chain from these sequences, not the input (default: none)",
    "  --control FILE  measure motif enrichment against these sequences (default: the shuffled input)",
    "  --mask-duplicates read the later copy of a stretch two records share as N (default: off; always warned)",
    "  --dust          read low-complexity windows (simple repeats, DUST score above 7) as N (default: off)",
    "",
    "Model:",
    "  -K N            number of motifs (transcription factors), 1..1000 (default 3)",
    "  -L N            module length in letters, from -w to 100000 (default 200)",
    "  -w N            smallest motif width, at least 5 (default 10)",
    "  -W N            largest motif width, 5..40 (default 14)",
    "  -r 0|1          0: forward strand only; anything else: both strands (default 1)",
    "  -s              K independent motifs, each whole sequence one window (default: off)",
    "  -d              let the module length move in steps of 10 after the burn-in (default: fixed)",
    "  --bg-order N    order of the background Markov chain, 0..5 (default 1)",
    "  --preset NAME   recommended options, overridden by the command line: enhancers, promoters (default: none)",
    "",
    "Sampling:",
    "  -n N            sweeps per run, 0 or more; the first 70% are burn-in (default 2000)",
    "  -N N            complete runs one after another, 0 or more (default 1)",
    "  --chains C      C independent runs (seeds mixed from seed, c), motifs clustered; not with -N (default: off)",
    "  --min-support S with --chains: clusters of S chains or more (or: majority) form the consensus (default: off)",
    "  -P              draw the parameters from their posterior each sweep (default: posterior means)",
    "  --seed N        random seed, 0..4294967295; run r uses N + r (default: clock and process id)",
    "  --threads N     threads, 1..256: runs of -N at once, the rest share each run; same output (default 1)",
    "",
    "Output:",
    "  -o FILE         result file, appended to; FILE_modpr.txt gets module probabilities (default Output.txt)",
    "  -c X            posterior frequency a site needs to be reported, 0..1 (default 0.5)",
    "  -B              also estimate the log posterior model odds against pure background (default: off)",
    "  --trace FILE    append one tab-separated row per sweep, one header per file (default: none)",
    "  --outdir DIR    write result, MEME, JASPAR, BED, GFF3, bedGraph, JSON files into DIR (default: none)",
    "  --force         with --outdir: replace a non-empty folder's files, remove stale ones (default: refuse)",
    "  --genome-coords names chrom:start-end or \"name chrom start end\" place BED, GFF3, bedGraph (default: local)",
    "  --report        write the HTML report (report.html in --outdir, else beside -o) (default: off)",
    "  --known FILE    known factors' matrices for the report; insects, vertebrates: shipped JASPAR (default: none)",
    "  --min-enrichment X drop motifs whose enrichment over the control is below X (default: keep all)",
    "  --holdout F     hold share F (0<F<1) of the records out of discovery; motif E-values on them (default: off)",
    "  --select-evalue E with --holdout: motifs with a held-out E-value above E are not reported (default 0.05)",
    "  --module-null-runs R  with --module-stats: null from R discovery runs on shuffled input (default 0)",
    "                  (costs R extra runs; 0: the run's own model on shuffled letters, uncalibrated)",
    "  --module-stats  each module's score, p and q against shuffled input; BED, GFF3, JSON, report (default: off)",
    "  --module-q Q    with --module-stats: modules with q above Q (0<Q<=1) are flagged (default 0.05)",
    "  --quiet         no progress: neither the lines on standard output nor the progress line (default: off)",
    "",
    "Information:",
    "  -h, --help      print this help",
    "  --version       print the version",
    "",
    "Each run prints \"Seed: N\" on standard error; --seed N repeats it exactly.",
    "To scan new sequence for modules with known matrices or a run's model: Ruzaravo --scan --help",
};

void PrintHelp()
{
    for (const char* line : kHelp)
        printf("%s\n", line);
}
