// Reading every input once (see the header). The readers note why a file
// is refused (base/Fatal.h); the note is taken here into the refusal, so
// the top level prints exactly the line a stop inside the reader would
// have printed.
#include "run/Inputs.h"

#include <utility>

#include "base/Fatal.h"
#include "io/BackgroundSet.h"
#include "io/WholeInput.h"

namespace {

std::string Text(const CString& s)
{
    return s.m_Data ? std::string(s.m_Data, s.m_Length) : std::string();
}

}  // namespace

Refusal RefusalFromNote(const char* message, const std::string& path)
{
    Refusal r;
    r.message = message;
    std::string note = NotedInputError();
    const std::string prefix = path + ": ";
    if (!path.empty() && note.compare(0, prefix.size(), prefix) == 0)
        r.fault = Fault(path, note.substr(prefix.size()));
    else
        r.fault = Fault("", note);
    return r;
}

Refusal LoadSideFiles(const INPUTPARAMETER& param, RunInputs* inputs)
{
    if (param.BgFasta.GetLength() > 0) {
        std::vector<std::string> seqs;
        if (!LoadBackgroundSet(param.BgFasta.m_Data, &seqs))
            return RefusalFromNote(kBgFastaError, Text(param.BgFasta));
        inputs->setChain = std::make_shared<const MarkovChain>(MarkovChain::Estimate(seqs, param.BgOrder));
    }
    if (param.ControlFile.GetLength() > 0 && !LoadBackgroundSet(param.ControlFile.m_Data, &inputs->control))
        return RefusalFromNote("Input control sequence file error!", Text(param.ControlFile));
    if (param.UseBgFile && !LoadBgFile(param.BgFile.m_Data, &inputs->bgLines))
        return RefusalFromNote("Input background file error!", Text(param.BgFile));
    if (param.UsePWM && !LoadPWMFile(param.PWMFile.m_Data, param.MotifNum, &inputs->givenPWM))
        return RefusalFromNote("Input weight matrix file error!", Text(param.PWMFile));
    return Refusal();
}

Refusal LoadKnownLibrary(const INPUTPARAMETER& param, RunInputs* inputs)
{
    if (param.KnownFile.GetLength() == 0)
        return Refusal();
    const std::string path = Text(param.KnownFile);
    std::string text, reason;
    if (!ReadWholeInput(path, &text))
        return RefusalFromNote("Known matrix file error!", path);
    if (!ParseMatrixText(text, &inputs->known, &reason)) {
        Refusal r;
        r.message = "Known matrix file error!";
        r.fault = Fault(path, reason);
        return r;
    }
    return Refusal();
}

Refusal LoadSequences(const INPUTPARAMETER& param, RunInputs* inputs)
{
    static const char kSeqError[] = "Input sequence file error!";
    if (param.SeqFile.GetLength() == 0) {
        Refusal r;
        r.message = kSeqError;
        r.fault = Fault("-i", "no sequence file named; give a FASTA file with -i FILE (or -i - for standard input)");
        return r;
    }
    auto records = std::make_shared<std::vector<FastaRecord>>();
    FastaReadOptions options;
    options.MaskLower = param.MaskLower;
    if (!ReadFastaInput(Text(param.SeqFile), options, records.get()))
        return RefusalFromNote(kSeqError, "");
    inputs->sequences = std::move(records);
    return Refusal();
}
