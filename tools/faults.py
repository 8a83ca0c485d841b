#!/usr/bin/env python3
"""Plants faults in the product one at a time and tells which layer of the test suite
catches each: the unit tests, the journeys at 96 dpi, or (the first to fail) the rest of
the end-to-end tests. It works in a scratch worktree of HEAD and takes about a minute a
fault that the unit tests or the journeys catch, two for one they miss.

    tools/faults.py          every fault
    tools/faults.py 3 17     those faults only (numbers as the report gives them)
    tools/faults.py --alone unit 3 17
                             one layer alone (unit or e2e): which faults it catches by itself

Each fault is a change a person could make by mistake: a wrong text or colour, a rectangle
off by a unit, an order swapped, a pause changed, a fallback or a deletion or a start
command altered. Changes the suite does not look for are not listed: which picture the
band shows, the window's icon (Wine answers WM_GETICON from another process with none),
the names screen readers announce (Wine's annotation service is a stub), the text's
colour, a push button drawn as the default one (the dialog manager moves that look with
the focus).
"""
import os
import subprocess
import sys
import tempfile
import time

FAULTS = [
    ('text', 'Setup/frmMain.cpp',
     'con estrema facilità',
     'con estrema facilita'),
    ('text', 'Setup/frmLicenza.cpp',
     'https://www.example.org/qelpictura/assistenza',
     'https://www.example.org/qelpictura/assistenza/'),
    ('text', 'Setup/frmCartella.cpp',
     'Se hai dei dubbi, lascia pure',
     'Se hai dubbi, lascia pure'),
    ('text', 'Setup/Installazione.cpp',
     'Copia dei files in corso...\\r\\n',
     'Copia dei file in corso...\\r\\n'),
    ('text', 'Setup/Installazione.cpp',
     'Problemi nella creazione dei collegamenti',
     'Problemi nella creazione collegamenti'),
    ('text', 'Setup/Uninstall/Rimozione.cpp',
     'Rimozione dei collegamenti in corso...',
     'Rimozione collegamenti in corso...'),
    ('text', 'Setup/Uninstall/frmMain.cpp',
     'Rimuovere manualmente la cartella\\r\\n',
     'Rimuovere manualmente la cartella '),
    ('text', 'common/Impronta.h',
     'Disinstalla il programma',
     'Disinstalla programma'),
    ('text', 'Setup/frmFinale.cpp',
     'Grazie per la fiducia',
     'Grazie della fiducia'),
    ('text', 'Setup/frmMain.cpp',
     'versione superiore di QelPictura\\r\\n',
     'versione superiore di QelPictura \\r\\n'),
    ('text', 'common/platform/win32/Win32Windows.cpp',
     'style |= SS_NOPREFIX | labelStyle(look.wraps, look.centred);',
     'style |= labelStyle(look.wraps, look.centred);'),
    ('text', 'common/platform/win32/Win32Platform.cpp',
     'shortcut.Put(L"Description", *descriptionText.get()) &&\n',
     ''),
    ('geometry', 'common/Banda.cpp',
     'lblA = label({375, 225,',
     'lblA = label({375, 240,'),
    ('geometry', 'Setup/frmCartella.cpp',
     'textBox({375, 2250, 4890, 315})',
     'textBox({375, 2250, 4875, 315})'),
    ('geometry', 'Setup/Installazione.cpp',
     'a96{25, 215, 416, 18}',
     'a96{25, 216, 416, 18}'),
    ('geometry', 'Setup/Uninstall/Rimozione.cpp',
     'a96{25, 255, 416, 18}',
     'a96{25, 255, 415, 18}'),
    ('geometry', 'common/frmMsg.cpp',
     '6315, 2265',
     '6315, 2250'),
    ('geometry', 'Setup/frmFinale.cpp',
     'listBox({375, 2400, 6240, 1425})',
     'listBox({375, 2400, 6240, 1410})'),
    ('geometry', 'common/Banda.cpp',
     'Line3 = line({0, 4590,',
     'Line3 = line({0, 4605,'),
    ('geometry', 'Setup/frmLicenza.cpp',
     'checkBox({225, 4125, 2790, 390}',
     'checkBox({225, 4125, 2790, 375}'),
    ('geometry', 'common/frmMsg.cpp',
     'lbl.Alignment(!AllineaSX);',
     'lbl.Alignment(AllineaSX);'),
    ('geometry', 'common/forms/Form.cpp',
     'frame.left = centre.left + (centre.width - frame.width) / 2;',
     'frame.left = centre.left + (centre.width - frame.width) / 3;'),
    ('geometry', 'common/forms/Form.cpp',
     'frame.top = centre.top + (centre.height - frame.height) / 2;',
     'frame.top = centre.top + (centre.height - frame.height) / 2 + 8;'),
    ('geometry', 'common/forms/Form.cpp',
     'if (owner_) centre = w.GetRect(owner_);',
     ''),
    ('geometry', 'common/forms/Form.cpp',
     'int Form::Px(int twips) const { return (twips * dpi_ + 720) / 1440; }',
     'int Form::Px(int twips) const { return twips * dpi_ / 1440; }'),
    ('geometry', 'common/platform/win32/Win32Windows.cpp',
     'width += MulDiv(17, form ? form->dpi : Dpi(), 96);',
     'width += MulDiv(17, form ? 96 : Dpi(), 96);'),
    ('geometry', 'common/QelBarraProgressi.cpp',
     'w.Send(barra_, ProgressMessage::SetStep, 1, 0);',
     'w.Send(barra_, ProgressMessage::SetStep, 2, 0);'),
    ('geometry', 'Setup/Installazione.cpp',
     'for (int i = 0; i < 4; ++i) barra_.LievIncrement();',
     'for (int i = 0; i < 3; ++i) barra_.LievIncrement();'),
    ('geometry', 'Setup/frmMain.cpp',
     '  licenza.Move(Left(), Top());\n',
     ''),
    ('geometry', 'Setup/Installazione.cpp',
     '  finale().Move(pagina_.Left(), pagina_.Top(), pagina_.Width(), pagina_.Height());\n',
     ''),
    ('geometry', 'Setup/Uninstall/frmMain.cpp',
     'StartUp::CentreScreen) {',
     'StartUp::Manual) {'),
    ('geometry', 'common/platform/win32/Win32Windows.cpp',
     'WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;',
     'WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;'),
    ('geometry', 'common/platform/win32/Win32Windows.cpp',
     'WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;',
     'WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN;'),
    ('geometry', 'common/platform/win32/Win32Windows.cpp',
     'kFormExStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;',
     'kFormExStyle = WS_EX_WINDOWEDGE;'),
    ('geometry', 'Setup/frmLicenza.cpp',
     '              .bothScrollBars()\n',
     ''),
    ('geometry', 'common/forms/Form.cpp',
     'return -(825 * dpi + 3600) / 7200;',
     'return -(800 * dpi + 3600) / 7200;'),
    ('geometry', 'common/platform/win32/Win32Windows.cpp',
     'DEFAULT_PITCH | FF_SWISS, L"Tahoma");',
     'DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif");'),
    ('geometry', 'common/platform/win32/Win32Windows.cpp',
     'f = CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL,',
     'f = CreateFontW(height, 0, 0, 0, FW_NORMAL,'),
    ('order', 'Setup/frmLicenza.cpp',
     '{.aiuto = 2, .annulla = 1}',
     '{.aiuto = 1, .annulla = 2}'),
    ('order', 'Setup/frmCartella.cpp',
     '.readOnly().tab(5)',
     '.readOnly().tab(3)'),
    ('order', 'Setup/frmLicenza.cpp',
     '              .readOnly()\n',
     ''),
    ('order', 'common/frmMsg.cpp',
     'onClick(&frmMsg::cmdSi_Click)',
     'onClick(&frmMsg::cmdNo_Click)'),
    ('order', 'Setup/Installazione.cpp',
     '    Collegamenti();\n    Controlli();',
     '    Controlli();\n    Collegamenti();'),
    ('order', 'Setup/Installazione.cpp',
     '  testoCopia(aiuto);                              passo(60);\n  files.Copy(kAiuto, aiuto);                      passo(60);',
     '  files.Copy(kAiuto, aiuto);                      passo(60);\n  testoCopia(aiuto);                              passo(60);'),
    ('order', 'Setup/Uninstall/Rimozione.cpp',
     '  stato("Rimozione valori registro di sistema in corso...");\n  platform::shell().DeleteMachineKey(kChiave);',
     '  platform::shell().DeleteMachineKey(kChiave);\n  stato("Rimozione valori registro di sistema in corso...");'),
    ('order', 'common/forms/Form.cpp',
     '[](Control* a, Control* b) { return a->tab_ < b->tab_; });',
     '[](Control* a, Control* b) { return a->tab_ > b->tab_; });'),
    ('order', 'common/platform/win32/Win32Windows.cpp',
     'if (focus && IsChild(hwnd, focus) && isPushButton(focus) && IsWindowEnabled(focus))',
     'if (focus && IsChild(hwnd, focus) && (isPushButton(focus) || true) && IsWindowEnabled(focus))'),
    ('order', 'common/platform/win32/Win32Windows.cpp',
     'style |= ES_AUTOHSCROLL | (look.readOnly ? ES_READONLY : 0);',
     'style |= ES_AUTOHSCROLL;'),
    ('order', 'common/frmMsg.cpp',
     'Risposta = Answer::No;',
     'Risposta = Answer::Yes;'),
    ('order', 'Setup/frmLicenza.cpp',
     'void frmLicenza::ckAccetto_Click() { cmdContinua.Enabled(ckAccetto.Value() != 0); }',
     'void frmLicenza::ckAccetto_Click() { cmdContinua.Enabled(true); }'),
    ('order', 'Setup/Uninstall/Rimozione.cpp',
     'OkCancelSecondDefault) != Answer::Ok)',
     'Information) != Answer::Ok)'),
    ('order', 'Setup/Uninstall/frmMain.cpp',
     'kTitolo, MessageBoxStyle::Information);',
     'kTitolo, MessageBoxStyle::OkCancelSecondDefault);'),
    ('order', 'Setup/Uninstall/frmMain.cpp',
     '"QelSoftware", MessageBoxStyle::Information);',
     '"QelSoftware", MessageBoxStyle::OkCancelSecondDefault);'),
    ('order', 'Setup/Pagina.cpp',
     'if (risposta && *risposta == Answer::No) Cancel = 1;',
     'if (!risposta || *risposta == Answer::No) Cancel = 1;'),
    ('pause', 'Setup/Installazione.cpp',
     'passo(800);',
     'passo(700);'),
    ('pause', 'Setup/Installazione.cpp',
     'passo(600);',
     'passo(660);'),
    ('pause', 'Setup/Installazione.cpp',
     'passo(60); sosta(60);',
     'passo(60); sosta(90);'),
    ('pause', 'Setup/Installazione.cpp',
     'sosta(800);',
     'sosta(900);'),
    ('pause', 'Setup/Uninstall/Rimozione.cpp',
     'Pausa(500);',
     'Pausa(550);'),
    ('pause', 'Setup/Installazione.cpp',
     'files.Copy(kTema, tema);                        DoEvents();',
     'files.Copy(kTema, tema);                        passo(0);'),
    ('fallback', 'common/Funzioni.cpp',
     'bool esiste = EsisteCartella(condivisa);',
     'bool esiste = !condivisa.empty();'),
    ('fallback', 'Setup/frmCartella.cpp',
     'else if (EsisteCartella("C:\\\\programmi"))',
     'else if (EsisteCartella("C:\\\\Programmi\\\\x"))'),
    ('fallback', 'Setup/frmCartella.cpp',
     'txtPercorso.Text("C:\\\\QelPictura");',
     'txtPercorso.Text("C:\\\\Program Files\\\\QelPictura");'),
    ('fallback', 'Setup/frmMain.cpp',
     '*versione <= kVersioneDiQuestoSetup',
     '*versione < kVersioneDiQuestoSetup'),
    ('fallback', 'Setup/frmMain.cpp',
     'case platform::RegistryValue::Kind::Other:\n      return;',
     'case platform::RegistryValue::Kind::Other:\n      testo = "2";'),
    ('fallback', 'Setup/Installazione.cpp',
     'desktop.empty() || !CreaCollegamento(',
     '!CreaCollegamento('),
    ('fallback', 'Setup/Installazione.cpp',
     'problemi |= !CreaCollegamento(menu + kCollegamento,',
     'CreaCollegamento(menu + kCollegamento,'),
    ('fallback', 'Setup/Installazione.cpp',
     'if (CartellaSistema().empty() || !EsisteFile(CartellaSistema() + kEssenziale))',
     'if (CartellaSistema().empty())'),
    ('fallback', 'Setup/frmCartella.cpp',
     'if (!EsisteCartella(scelta)) return;',
     'if (scelta.empty()) return;'),
    ('fallback', 'common/FunzioniSetup.cpp',
     '  bool creato = EsisteFile(collegamento);',
     '  bool creato = true;'),
    ('fallback', 'Setup/Pagina.cpp',
     'if (UnloadMode != UnloadMode::ControlMenu) return;',
     'if (UnloadMode == UnloadMode::Code) return;'),
    ('fallback', 'common/platform/win32/Win32Platform.cpp',
     'SHGetSpecialFolderPathW(nullptr, buffer, static_cast<int>(csidl), create);',
     'SHGetSpecialFolderPathW(nullptr, buffer, static_cast<int>(csidl), create && false);'),
    ('fallback', 'common/platform/win32/Win32Platform.cpp',
     'return CopyFileW(Wide(from).c_str(), Wide(to).c_str(), FALSE) != 0;',
     'return CopyFileW(Wide(from).c_str(), Wide(to).c_str(), TRUE) != 0;'),
    ('fallback', 'Setup/Installazione.cpp',
     'if (!programmi.empty()) platform::files().MakeFolder(menu);',
     'platform::files().MakeFolder(menu);'),
    ('fallback', 'Setup/Installazione.cpp',
     'std::string desktop = CartellaCondivisa(Csidl::CommonDesktopDirectory, Csidl::Desktop, true);',
     'std::string desktop = CartellaCondivisa(Csidl::CommonDesktopDirectory, Csidl::Desktop, false);'),
    ('deletion', 'Setup/Uninstall/Rimozione.cpp',
     'eliminaIn(desktop, kCollegamento);',
     'eliminaIn(desktop, "\\\\*.lnk");'),
    ('deletion', 'Setup/Uninstall/Rimozione.cpp',
     'eliminaIn(programmi + kCartellaMenu, "\\\\*.lnk");',
     'eliminaIn(programmi + kCartellaMenu, "\\\\*.*");'),
    ('deletion', 'Setup/Uninstall/Rimozione.cpp',
     'eliminaIn(D + "\\\\" + kCartellaTemi, "\\\\*.*");',
     'files.DeleteFiles(D + "\\\\" + kCartellaTemi + "\\\\*.*");'),
    ('deletion', 'Setup/Uninstall/Rimozione.cpp',
     '  files.DeleteFiles(D + "\\\\" + kAiuto);\n',
     ''),
    ('deletion', 'Setup/Uninstall/Rimozione.cpp',
     'if (!desktop.empty()) eliminaIn',
     'eliminaIn'),
    ('deletion', 'Setup/Uninstall/Rimozione.cpp',
     'platform::shell().DeleteMachineKey(kChiave);',
     'platform::shell().DeleteMachineKey("SOFTWARE\\\\Qel");'),
    ('deletion', 'Setup/Uninstall/frmMain.cpp',
     'if (!cartella().empty() && EsisteFile(',
     'if (EsisteFile('),
    ('deletion', 'common/platform/win32/Win32Platform.cpp',
     'bool Win32Files::IsLink(const std::string& folder) {',
     'bool Win32Files::IsLink(const std::string& folder) {\n  return false;'),
    ('deletion', 'common/platform/win32/Win32Platform.cpp',
     'return tag == 0 || IsReparseTagNameSurrogate(tag);',
     'return IsReparseTagNameSurrogate(tag);'),
    ('deletion', 'common/platform/win32/Win32Platform.cpp',
     '        Matches(Utf8(found.cFileName), namePattern))',
     '        true)'),
    ('deletion', 'Setup/Uninstall/Rimozione.cpp',
     'std::string programmi = CartellaCondivisa(Csidl::CommonPrograms, Csidl::Programs, false);',
     'std::string programmi = CartellaCondivisa(Csidl::CommonPrograms, Csidl::Programs, true);'),
    ('start', 'Setup/Installazione.cpp',
     'std::string(kRegistrazione) + " /s " + sistema + nome',
     'std::string(kRegistrazione) + " " + sistema + nome'),
    ('start', 'Setup/Installazione.cpp',
     'platform::processes().Start(sistema + kRegistrazione,',
     'platform::processes().Start(kRegistrazione,'),
    ('start', 'Setup/Installazione.cpp',
     'ShowCommand::Minimized);',
     'ShowCommand::Normal);'),
    ('start', 'Setup/frmFinale.cpp',
     "Avvio.substr(0, Avvio.find_last_of('\\\\'))",
     '""'),
    ('start', 'Setup/frmFinale.cpp',
     'platform::processes().StartAsUser(Avvio,',
     'platform::processes().Start(Avvio,'),
    ('start', 'Setup/Installazione.cpp',
     'finale().Avvio = programma;',
     'finale().Avvio = "\\"" + programma + "\\"";'),
    ('start', 'Setup/Installazione.cpp',
     '    CopiaFileSistema(nome);\n  }',
     '    CopiaFileSistema(nome);\n    if (nome == kFileSistema[2]) break;\n  }'),
    ('start', 'Setup/Installazione.cpp',
     'kDescrizioneRimuovi);',
     'kDescrizione);'),
    ('start', 'Setup/Installazione.cpp',
     'CreaCollegamento(menu + kCollegamentoRimuovi, disinstallatore,',
     'CreaCollegamento(menu + kCollegamentoRimuovi, programma,'),
    ('start', 'common/FunzioniSetup.cpp',
     'platform::ShowCommand::Normal,',
     'platform::ShowCommand::Minimized,'),
    ('start', 'common/platform/win32/Win32Platform.cpp',
     '  startup.dwFlags = STARTF_USESHOWWINDOW;\n',
     ''),
    ('start', 'common/platform/win32/Win32Platform.cpp',
     'return Launch(app, L"\\"" + app + L"\\"", cwd, showCommand);',
     'return Launch(app, app, cwd, showCommand);'),
    ('start', 'common/platform/win32/Win32Platform.cpp',
     'if (Elevated() && StartThroughDesktop(app, cwd, showCommand)) return true;',
     'if (!Elevated() && StartThroughDesktop(app, cwd, showCommand)) return true;'),
    ('start', 'common/platform/win32/Win32Platform.cpp',
     '!setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)',
     '!setDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS)'),
    ('look', 'common/platform/win32/Win32Windows.cpp',
     'if (look->band || look->kind == ControlKind::TextBox) back = COLOR_WINDOW;',
     'if (look->kind == ControlKind::TextBox) back = COLOR_WINDOW;'),
    ('look', 'common/Banda.cpp',
     'Line3 = line({0, 4590, 6900, 0}, SysColour::Window);',
     'Line3 = line({0, 4590, 6900, 0}, SysColour::ButtonShadow);'),
    ('geometry', 'Setup/Uninstall/frmMain.cpp',
     'lblInfo = label({375, 1350, 6210, 1710}, "").wraps();',
     'lblInfo = label({375, 1350, 6210, 1710}, "");'),
    ('order', 'common/platform/win32/Win32Windows.cpp',
     'HWND focus = data->lastFocus;',
     'HWND focus = nullptr;'),
    ('look', 'common/platform/win32/Win32Windows.cpp',
     '      ex = WS_EX_CLIENTEDGE;\n      style |= ES_AUTOHSCROLL',
     '      style |= ES_AUTOHSCROLL'),
    ('look', 'common/platform/win32/Win32Windows.cpp',
     'if (look->band || look->kind == ControlKind::TextBox) back = COLOR_WINDOW;',
     'if (look->band) back = COLOR_WINDOW;'),

    ('order', 'common/forms/Form.cpp',
     'for (bool bands : {false, true})',
     'for (bool bands : {true, false})'),
    ('deletion', 'common/platform/Wildcard.h',
     'Folded(pattern[p]) == Folded(name[n])',
     'pattern[p] == name[n]'),
    ('fallback', 'Setup/Pagina.cpp',
     'if (!risposta || *risposta == Answer::Yes) Unload();',
     'if (risposta && *risposta == Answer::Yes) Unload();'),
    ('order', 'Setup/frmCartella.cpp',
     'hWnd(), false);',
     'hWnd(), true);'),
    ('order', 'common/forms/Form.cpp',
     'if (!click || running_) return;',
     'if (!click) return;'),
    ('order', 'common/forms/Form.cpp',
     'if (hadFocusRoom && !visible) form_->focusFirst();',
     '(void)hadFocusRoom;'),
    ('fallback', 'common/platform/win32/Win32Windows.cpp',
     'if (events) events->OnCloseRequest(UnloadMode::TaskManager);',
     'if (events) events->OnCloseRequest(UnloadMode::ControlMenu);'),
    ('look', 'common/platform/win32/Win32Windows.cpp',
     'COLOR_BTNFACE + 1',
     'COLOR_WINDOW + 1'),
    ('fallback', 'common/platform/win32/Win32Windows.cpp',
     'if (wp && events) events->OnEndSession();',
     'if (events) events->OnEndSession();'),
    ('fallback', 'common/platform/win32/Win32Windows.cpp',
     'return events ? events->OnQueryEndSession() : TRUE;',
     'return events ? FALSE : TRUE;'),
    ('geometry', 'common/forms/Form.cpp',
     'for (Control* c : controls_) c->layOut();',
     ''),
    ('deletion', 'Setup/Uninstall/Rimozione.cpp',
     '    eliminaIn(programmi + kCartellaMenu, "\\\\*.lnk");',
     '    eliminaIn(programmi, "*.lnk");\n    eliminaIn(programmi + kCartellaMenu, "\\\\*.lnk");'),
    ('build', 'cmake/windows.cmake',
     '    list(APPEND QEL_DELAY_KEEP -Wl,-u,_${name})\n',
     ''),
]

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
E2E = "source tools/wine-env.sh && qel_display && qel_template && cd build/i686 && "


def sh(tree, command):
    return subprocess.run("set -o pipefail; " + command, shell=True, cwd=tree, text=True,
                          capture_output=True, executable="/bin/bash")


def verdict(tree, alone):
    builds = {"unit": ["native"], "e2e": ["i686"]}.get(alone, ["native", "i686"])
    if sh(tree, " && ".join(f"cmake --build build/{b} -j2" for b in builds)).returncode:
        return "did not build"
    if alone != "e2e" and sh(tree, "cd build/native && ctest -j2").returncode:
        return "caught: unit tests"
    if alone == "unit":
        return "MISSED"
    if sh(tree, E2E + "ctest -j2 -R '_96$'").returncode:
        return "caught: journeys at 96 dpi"
    rest = sh(tree, E2E + "ctest -j2 --stop-on-failure -E '_96$'")
    failed = [l.split(" - ")[-1].split()[0] for l in rest.stdout.splitlines() if " - e2e." in l]
    return "caught: " + failed[0] if rest.returncode and failed else "MISSED"


def main():
    args = sys.argv[1:]
    alone = args[1] if args[:1] == ["--alone"] and len(args) > 1 else None
    if args[:1] == ["--alone"] and alone not in ("unit", "e2e"):
        sys.exit("--alone takes unit or e2e")
    chosen = {int(n) for n in args[2 if alone else 0:]}
    tree = tempfile.mkdtemp(prefix="qel-faults.")
    os.environ.setdefault("QEL_DISPLAY_NUMBER", "98")
    subprocess.run(["git", "worktree", "add", "-q", "--detach", tree, "HEAD"], cwd=ROOT, check=True)
    caught = tried = 0
    try:
        subprocess.run(["tools/build.sh"], cwd=tree, check=True, stdout=subprocess.DEVNULL)
        for n, (kind, path, old, new) in enumerate(FAULTS):
            if chosen and n not in chosen:
                continue
            file = os.path.join(tree, path)
            with open(file, encoding="utf-8") as f:
                text = f.read()
            if text.count(old) != 1:
                print(f"{n:3} {kind:9} no longer applies: {path}: {old[:50]!r}", flush=True)
                continue
            start = time.time()
            with open(file, "w", encoding="utf-8") as f:
                f.write(text.replace(old, new))
            try:
                said = verdict(tree, alone)
            finally:
                with open(file, "w", encoding="utf-8") as f:
                    f.write(text)
            tried += 1
            caught += said.startswith("caught")
            print(f"{n:3} {kind:9} {said:62} {time.time() - start:4.0f} s  {path}", flush=True)
    finally:
        subprocess.run(["git", "worktree", "remove", "--force", tree], cwd=ROOT)
    print(f"{caught} of {tried} faults caught")
    return 0 if caught == tried else 1


if __name__ == "__main__":
    sys.exit(main())
