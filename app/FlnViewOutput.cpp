// Where a result text goes: the output line, the shared-memory block, the voice, the clipboard;
// and the commands that switch the two outputs for other programs and ears.

#include "app/FlnView.h"

#include "app/Clipboard.h"
#include "app/FlnPageHost.h"
#include "app/SharedMemory.h"
#include "platform/base/StringFormat.h"
#include "platform/com/Automation.h"
#include "platform/com/DispatchDriver.h"
#include "platform/speech/VoiceText.h"

#include <cstring>

namespace {

constexpr int OutputLineLength = 38;  // longer texts are cut to 39 characters and "..."

// The text as the output line shows it: with a trailing blank; a text longer than the line
// keeps its first 39 characters and "...".
CString ShownText(const CString& text)
{
    if (text.GetLength() > OutputLineLength)
        return text.Left(OutputLineLength + 1) + L"...";
    return text + L" ";
}

// What the voice says: trailing blanks dropped, "12:30" said as "12 by 30".
CString SpokenText(const CString& shown)
{
    CString spoken = shown;
    spoken.TrimRight();
    spoken.Replace(L":", L"by");
    return spoken;
}

} // namespace

CString CFlnView::ShowOutput(const CString& text, COLORREF colour, int points)
{
    m_strOutputText = text;
    const CString shown = ShownText(text);
    // One paint for the three changes, when the calculation is done.
    CLabel::RedrawBatch batch(m_labelOutput);
    m_labelOutput.SetTextColor(colour).SetFontSize(points).SetText(shown);
    return shown;
}

void CFlnView::OutputResult(CString text, COLORREF colour, int points)
{
    const CString shown = ShowOutput(text, colour, points);

    CFlnPageHost* host = Host();
    if (!host)
        return;
    if (CSharedMemory* block = host->GetSharedMemory(); block && host->SharedMemorySwitch()
        && !block->WriteText(SharedMemoryText(shown)))
        host->SetMessageText(L"The result was not written to the shared memory: another program holds it.");
    if (IVTxtAuto* voice = host->GetVoiceText(); voice && host->SpeechSwitch()) {
        const CString spoken = SpokenText(shown);
        BSTR words = SysAllocString(spoken.GetString());
        const HRESULT result = voice->Speak(words, spoken.Find(L"rror") >= 0 ? 8 : 32);
        SysFreeString(words);
        if (FAILED(result))
            AfxThrowOleException(result);
    }
}

CString CFlnView::SharedMemoryText(const CString& shown) const
{
    return m_strFormula + L" = " + shown
        + CString(FormatWide(L" [%.15E; %.15E; %.15E; %.15E; %.15E; %.15E; %.15E]", m_dA, m_dB, m_dC, m_dD, m_dE, m_dF,
                      m_dG)
                      .c_str());
}

void CFlnView::OnCopyOutput()
{
    CString title = L"Clipboard!";
    CString content = m_strOutputText;
    if (!CopyTextToClipboard(m_hWnd, m_strOutputText)) {
        title = L"Clipboard Error";
        content = L"The clipboard could not be opened; nothing was copied.";
    }
    CBalloonHelp::LaunchBalloon(title, content, OutputLineCentre(), BalloonIcon, BalloonOptions, nullptr, L"", 3000);
}

void CFlnView::OnOutputToVoice()
{
    CFlnPageHost* host = Host();
    if (host && host->GetVoiceText()) {
        host->SpeechSwitch() = !host->SpeechSwitch();
        return;
    }
    AfxMessageBox(L"Cannot start the speech engine!\n"
                  L"The voice output needs the espeak-ng speech synthesizer and a sound output.\n"
                  L"Install espeak-ng with your package manager, for example:\n"
                  L"sudo apt install espeak-ng\n"
                  L"or maybe better from here:\n"
                  L"https://github.com/espeak-ng/espeak-ng\n");
}

void CFlnView::OnUpdateOutputToVoice(CCmdUI* ui)
{
    CFlnPageHost* host = Host();
    ui->SetCheck(host && host->GetVoiceText() && host->SpeechSwitch());
}

void CFlnView::OnStopSpeech()
{
    CFlnPageHost* host = Host();
    IVTxtAuto* voice = host ? host->GetVoiceText() : nullptr;
    if (!voice)
        return;
    if (const HRESULT result = voice->StopSpeaking(); FAILED(result))
        AfxThrowOleException(result);
}

void CFlnView::OnOutputToSharedMemory()
{
    CFlnPageHost* host = Host();
    if (host && host->GetSharedMemory()) {
        host->SharedMemorySwitch() = !host->SharedMemorySwitch();
        return;
    }
    if (host)
        host->SharedMemorySwitch() = FALSE;
    AfxMessageBox(L"There is no shared memory block: it could not be made when the program started, "
                  L"so results cannot be passed to other programs.");
}

void CFlnView::OnUpdateOutputToSharedMemory(CCmdUI* ui)
{
    CFlnPageHost* host = Host();
    ui->SetCheck(host && host->GetSharedMemory() && host->SharedMemorySwitch());
}
