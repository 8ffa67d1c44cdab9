<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Finish</name>
    <message>
        <source>Finish</source>
        <extracomment>The button that ends the program; keep it short.</extracomment>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>Lumetra plugged into power again, with a check mark</source>
        <translation>Lumetra wieder am Stromnetz, mit einem Häkchen</translation>
    </message>
</context>
<context>
    <name>GreenButton</name>
    <message>
        <source>Next</source>
        <extracomment>What a screen reader says for the arrow that leads to the next screen.</extracomment>
        <translation>Weiter</translation>
    </message>
</context>
<context>
    <name>GreyButton</name>
    <message>
        <source>Back</source>
        <extracomment>What a screen reader says for the arrow that leads to the previous screen.</extracomment>
        <translation>Zurück</translation>
    </message>
</context>
<context>
    <name>HomeScreen</name>
    <message>
        <source>Start</source>
        <extracomment>The button that leads into the steps; keep it short.</extracomment>
        <translation>Start</translation>
    </message>
</context>
<context>
    <name>StepFour</name>
    <message>
        <source>The USB cable unplugged from Lumetra after the computer ejected its drive</source>
        <translation>Das USB-Kabel von Lumetra abgezogen, nachdem der Computer sein Laufwerk ausgeworfen hat</translation>
    </message>
    <message>
        <source>Eject Lumetra&apos;s drive by hand.</source>
        <extracomment>Step four&apos;s title when the computer could not eject the unit&apos;s drive.</extracomment>
        <translation>Laufwerk von Lumetra selbst auswerfen.</translation>
    </message>
    <message>
        <source>The firmware is updated, but the computer could not eject Lumetra&apos;s drive.</source>
        <extracomment>Step four after a good update whose drive the computer could not eject.</extracomment>
        <translation>Das Update ist abgeschlossen, aber der Computer konnte das Laufwerk von Lumetra nicht auswerfen.</translation>
    </message>
    <message>
        <source>Lumetra already has this firmware, but the computer could not eject its drive.</source>
        <extracomment>Step four for a unit that needed no update and whose drive the computer could not eject.</extracomment>
        <translation>Lumetra hat diese Firmware bereits, aber der Computer konnte sein Laufwerk nicht auswerfen.</translation>
    </message>
    <message>
        <source>Lumetra already has this firmware: unplug the USB cable from Lumetra.</source>
        <extracomment>Step four for a unit that needed no update, its drive ejected.</extracomment>
        <translation>Lumetra hat diese Firmware bereits: Ziehen Sie das USB-Kabel von Lumetra ab.</translation>
    </message>
    <message>
        <source>Eject the drive yourself (&apos;Safely Remove&apos; or &apos;Eject&apos;), then unplug the USB cable.</source>
        <extracomment>Step four: how to eject a drive by hand. Use the names your system gives these commands (&apos;Safely Remove Hardware&apos; on Windows, &apos;Eject&apos; in file managers).</extracomment>
        <translation>Werfen Sie das Laufwerk selbst aus („Sicher entfernen“ oder „Auswerfen“) und ziehen Sie dann das USB-Kabel ab.</translation>
    </message>
    <message>
        <source>Another program is using the drive.</source>
        <extracomment>Step four, why the drive was not ejected: the system found it busy.</extracomment>
        <translation>Ein anderes Programm verwendet das Laufwerk.</translation>
    </message>
    <message>
        <source>The drive was not found.</source>
        <extracomment>Step four, why the drive was not ejected: no device connected to the computer carries it.</extracomment>
        <translation>Das Laufwerk wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>The drive was not found, or another program is using it.</source>
        <extracomment>Step four, why the drive was not ejected: it was gone from the computer, or another LumetraInstaller held it.</extracomment>
        <translation>Das Laufwerk wurde nicht gefunden, oder ein anderes Programm verwendet es.</translation>
    </message>
    <message>
        <source>The system refused to eject it.</source>
        <extracomment>Step four, why the drive was not ejected, for any other refusal.</extracomment>
        <translation>Das System hat das Auswerfen verweigert.</translation>
    </message>
</context>
<context>
    <name>StepOne</name>
    <message>
        <source>Lumetra switched off, its power plug pulled from the wall socket</source>
        <translation>Lumetra ausgeschaltet, der Netzstecker aus der Steckdose gezogen</translation>
    </message>
</context>
<context>
    <name>StepThree</name>
    <message>
        <source>Update</source>
        <extracomment>The button that starts the firmware update; keep it short.</extracomment>
        <translation>Update</translation>
    </message>
    <message>
        <source>Updating</source>
        <extracomment>The update button&apos;s label while the firmware is being copied; keep it short.</extracomment>
        <translation>Update läuft&#xa0;…</translation>
    </message>
    <message>
        <source>Lumetra detected: the computer shows its drive with a check mark</source>
        <translation>Lumetra erkannt: Der Computer zeigt sein Laufwerk mit einem Häkchen</translation>
    </message>
    <message>
        <source>Lumetra not detected: the computer shows a cross instead of its drive</source>
        <translation>Lumetra nicht erkannt: Der Computer zeigt ein Kreuz statt seines Laufwerks</translation>
    </message>
    <message>
        <source>Lumetra was not detected</source>
        <translation>Lumetra wurde nicht erkannt</translation>
    </message>
    <message>
        <source>The update failed: Lumetra&apos;s drive is full.</source>
        <extracomment>Step three, after a failed update: the unit&apos;s drive had no room for the firmware.</extracomment>
        <translation>Das Update ist fehlgeschlagen: Das Laufwerk von Lumetra ist voll.</translation>
    </message>
    <message>
        <source>The update failed: Lumetra&apos;s drive is read-only.</source>
        <extracomment>Step three, after a failed update: the system would not let us write to the drive.</extracomment>
        <translation>Das Update ist fehlgeschlagen: Das Laufwerk von Lumetra ist schreibgeschützt.</translation>
    </message>
    <message>
        <source>The update failed: Lumetra&apos;s drive was disconnected.</source>
        <extracomment>Step three, after a failed update: the drive went away during the update.</extracomment>
        <translation>Das Update ist fehlgeschlagen: Das Laufwerk von Lumetra wurde getrennt.</translation>
    </message>
    <message>
        <source>The update failed: the firmware read back from the drive was wrong.</source>
        <extracomment>Step three, after a failed update: the firmware read back from the drive was not the one written.</extracomment>
        <translation>Das Update ist fehlgeschlagen: Die vom Laufwerk zurückgelesene Firmware war fehlerhaft.</translation>
    </message>
    <message>
        <source>The update failed: Lumetra&apos;s version file could not be written.</source>
        <extracomment>Step three, after a failed update: the file that holds the unit&apos;s version number.</extracomment>
        <translation>Das Update ist fehlgeschlagen: Die Versionsdatei von Lumetra konnte nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>Another LumetraInstaller is updating this Lumetra. Try again when it has finished.</source>
        <extracomment>Step three: another copy of this program (a window or the command line) updates the unit now.</extracomment>
        <translation>Ein anderer LumetraInstaller aktualisiert gerade dieses Lumetra. Versuchen Sie es erneut, wenn er fertig ist.</translation>
    </message>
    <message>
        <source>The update failed.</source>
        <extracomment>Step three, after a failed update, for any reason without a line of its own.</extracomment>
        <translation>Das Update ist fehlgeschlagen.</translation>
    </message>
    <message>
        <source>Lumetra detected</source>
        <extracomment>Step three&apos;s word to a screen reader that the unit is there and ready.</extracomment>
        <translation>Lumetra erkannt</translation>
    </message>
    <message>
        <source>Updating Lumetra</source>
        <extracomment>What a screen reader calls the popup with the progress bar.</extracomment>
        <translation>Lumetra wird aktualisiert</translation>
    </message>
    <message>
        <source>The update failed: this program&apos;s firmware is damaged. Download the program again.</source>
        <extracomment>Step three, after a failed update: the firmware carried inside this program is not what was built into it (a damaged download); nothing was written to the unit.</extracomment>
        <translation>Das Update ist fehlgeschlagen: Die Firmware in diesem Programm ist beschädigt. Laden Sie das Programm erneut herunter.</translation>
    </message>
</context>
<context>
    <name>StepTwo</name>
    <message>
        <source>A USB cable from a computer plugged into Lumetra</source>
        <translation>Ein USB-Kabel von einem Computer, in Lumetra eingesteckt</translation>
    </message>
</context>
<context>
    <name>TextStrings</name>
    <message>
        <source>Lumetra</source>
        <extracomment>The product&apos;s name; a brand, usually left as it is.</extracomment>
        <translation>Lumetra</translation>
    </message>
    <message>
        <source>Automated post-processing unit</source>
        <extracomment>What the Lumetra is, under its name on the first screen.</extracomment>
        <translation>Automatisierte Nachbearbeitungseinheit</translation>
    </message>
    <message>
        <source>Update Tool</source>
        <extracomment>What this program is, a headline on the first screen.</extracomment>
        <translation>Update-Tool</translation>
    </message>
    <message>
        <source>Version %1</source>
        <extracomment>%1 is the firmware version this program carries, such as 1.73.</extracomment>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>Step</source>
        <extracomment>Header of each step screen; the screen adds a space and the step&apos;s number (Step 1).</extracomment>
        <translation>Schritt</translation>
    </message>
    <message>
        <source>Disconnect Lumetra from power.</source>
        <extracomment>Title of step 1; the unit must be cut off from mains power.</extracomment>
        <translation>Lumetra vom Stromnetz trennen.</translation>
    </message>
    <message>
        <source>Begin by switching Lumetra&apos;s power to the &apos;off&apos; position.</source>
        <extracomment>The unit&apos;s power switch.</extracomment>
        <translation>Stellen Sie zuerst den Netzschalter von Lumetra auf „Aus“.</translation>
    </message>
    <message>
        <source>Next, unplug Lumetra from its power source.</source>
        <translation>Ziehen Sie anschließend den Netzstecker von Lumetra.</translation>
    </message>
    <message>
        <source>Lumetra must be unplugged from power in order to update successfully.</source>
        <translation>Das Update gelingt nur, wenn Lumetra vom Stromnetz getrennt ist.</translation>
    </message>
    <message>
        <source>Connect your computer to Lumetra via USB.</source>
        <translation>Computer per USB mit Lumetra verbinden.</translation>
    </message>
    <message>
        <source>After Lumetra has been disconnected from power, use the provided USB cable to connect your computer to Lumetra.</source>
        <translation>Sobald Lumetra vom Stromnetz getrennt ist, verbinden Sie Ihren Computer über das mitgelieferte USB-Kabel mit Lumetra.</translation>
    </message>
    <message>
        <source>Begin Lumetra update.</source>
        <translation>Lumetra-Update starten.</translation>
    </message>
    <message>
        <source>Now that Lumetra has been unplugged from power and connected to your computer, it is ready to receive updates.</source>
        <translation>Da Lumetra nun vom Stromnetz getrennt und mit Ihrem Computer verbunden ist, ist es bereit, Updates zu empfangen.</translation>
    </message>
    <message>
        <source>Press the &apos;update&apos; button to begin the process.</source>
        <extracomment>Names the button that starts the update: use its translated label (&quot;Update&quot; in StepThree).</extracomment>
        <translation>Drücken Sie die Schaltfläche „Update“, um den Vorgang zu starten.</translation>
    </message>
    <message>
        <source>Do not unplug the USB cable from your computer or Lumetra during the update</source>
        <translation>Lassen Sie das USB-Kabel während des Updates an beiden Enden eingesteckt</translation>
    </message>
    <message>
        <source>Unplug USB cable from Lumetra.</source>
        <translation>USB-Kabel von Lumetra abziehen.</translation>
    </message>
    <message>
        <source>To finalize the update, unplug the USB cable from Lumetra</source>
        <translation>Ziehen Sie das USB-Kabel von Lumetra ab, um das Update abzuschließen</translation>
    </message>
    <message>
        <source>Do not reconnect Lumetra to power until you have removed the USB cable.</source>
        <translation>Schließen Sie Lumetra erst wieder an den Strom an, wenn das USB-Kabel entfernt ist.</translation>
    </message>
    <message>
        <source>The update is complete!</source>
        <extracomment>Title of the last screen.</extracomment>
        <translation>Das Update ist abgeschlossen!</translation>
    </message>
    <message>
        <source>You can now reconnect Lumetra to power and switch it back on.</source>
        <translation>Sie können Lumetra jetzt wieder ans Stromnetz anschließen und einschalten.</translation>
    </message>
    <message>
        <source>Note that Lumetra may take a few seconds to restart.</source>
        <translation>Hinweis: Der Neustart von Lumetra kann einige Sekunden dauern.</translation>
    </message>
    <message>
        <source>Lumetra update is completed</source>
        <extracomment>Title of the screen for a unit that already has this firmware.</extracomment>
        <translation>Lumetra-Update ist abgeschlossen</translation>
    </message>
    <message>
        <source>Lumetra now holds an incomplete firmware: keep it connected and try again.</source>
        <extracomment>Step three&apos;s line after a failed update that began to overwrite the old firmware.</extracomment>
        <translation>Lumetra enthält jetzt eine unvollständige Firmware: Lassen Sie es verbunden und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <extracomment>A screen&apos;s name for a screen reader: %1 is its header (Step 3, or the version line of the up-to-date screen), %2 its title.</extracomment>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>UpToDateScreen</name>
    <message>
        <source>Your Lumetra is already on version %1</source>
        <extracomment>%1 is the firmware version found on the unit, such as 1.73.</extracomment>
        <translation>Ihr Lumetra hat bereits die Version %1</translation>
    </message>
    <message>
        <source>Your Lumetra has already received the update included in this installer. Press &apos;Finish&apos; and restart your Lumetra to resume service. If you suspect that your Lumetra is not up to date, visit %1 to download the latest version of this installation wizard.</source>
        <extracomment>%1 is the maker&apos;s software page. &apos;Finish&apos; names this screen&apos;s button: use its translated label.</extracomment>
        <translation>Ihr Lumetra hat das Update aus diesem Programm bereits erhalten. Drücken Sie auf „Fertig“ und starten Sie Lumetra neu, um es wieder zu nutzen. Vermuten Sie, dass es nicht aktuell ist, finden Sie die neueste Version dieses Assistenten unter %1.</translation>
    </message>
    <message>
        <source>Finish</source>
        <extracomment>The button that ends the program; keep it short.</extracomment>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>Lumetra plugged into power again, with a check mark</source>
        <translation>Lumetra wieder am Stromnetz, mit einem Häkchen</translation>
    </message>
</context>
<context>
    <name>WorkProgressBar</name>
    <message>
        <source>Update progress</source>
        <translation>Fortschritt des Updates</translation>
    </message>
    <message>
        <source>%1 %</source>
        <extracomment>The progress in percent, for a screen reader; %1 is a number from 0 to 100.</extracomment>
        <translation>%1&#xa0;%</translation>
    </message>
</context>
</TS>
