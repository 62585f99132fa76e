// Where a result text goes: the output line, the shared-memory block, the voice, the clipboard;
// and the commands that switch the two outputs for other programs and ears.

#include "app/FlnView.h"

#include "app/Clipboard.h"
#include "app/FlnPageHost.h"
#include "app/SharedMemory.h"
#include "platform/base/StringFormat.h"
#include "platform/com/Automation.h"
#include "platform/com/DispatchDriver.h"
#include "platform/speech/Synthesizer.h"
#include "platform/speech/VoiceText.h"

#include <cstring>

namespace {

// How long the balloon of a copied result stays, in milliseconds.
constexpr unsigned CopyBalloonTimeout = 3000;
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
        // The result stays on the line whatever the voice does.
        if (const HRESULT result = Say(*voice, spoken, spoken.Find(L"rror") >= 0 ? vtxtst_WARNING : vtxtst_NUMBERS);
            FAILED(result))
            SwitchSpeechOff(*host, result);
    }
}

HRESULT CFlnView::Say(IVTxtAuto& voice, const CString& text, LONG flags)
{
    BSTR words = SysAllocString(text.GetString());
    const HRESULT result = voice.Speak(words, flags);
    SysFreeString(words);
    return result;
}

// Speech that cannot be heard (no sound output, or it failed) is switched off, and the user is
// told once why; calculations go on without it.
void CFlnView::SwitchSpeechOff(CFlnPageHost& host, HRESULT reason)
{
    host.SpeechSwitch() = FALSE;
    AfxMessageBox(L"Speech is unavailable, so the voice output is switched off:\n" + CString(SpeechErrorText(reason).c_str()),
        MB_OK | MB_ICONEXCLAMATION);
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
    ShowBalloon(title, content, CentreOf(m_labelOutput.m_hWnd), CopyBalloonTimeout);
}

void CFlnView::OnOutputToVoice()
{
    CFlnPageHost* host = Host();
    if (IVTxtAuto* voice = host ? host->GetVoiceText() : nullptr) {
        // Switching on says nothing aloud, but opens the sound output: without one, the user
        // hears of it now rather than at the next result.
        if (!host->SpeechSwitch()) {
            if (const HRESULT result = Say(*voice, CString(), vtxtst_NUMBERS); FAILED(result)) {
                SwitchSpeechOff(*host, result);
                return;
            }
        }
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
