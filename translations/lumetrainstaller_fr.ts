<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>Finish</name>
    <message>
        <source>Finish</source>
        <extracomment>The button that ends the program; keep it short.</extracomment>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Lumetra plugged into power again, with a check mark</source>
        <translation>Lumetra rebranché sur le secteur, avec une coche</translation>
    </message>
</context>
<context>
    <name>GreenButton</name>
    <message>
        <source>Next</source>
        <extracomment>What a screen reader says for the arrow that leads to the next screen.</extracomment>
        <translation>Suivant</translation>
    </message>
</context>
<context>
    <name>GreyButton</name>
    <message>
        <source>Back</source>
        <extracomment>What a screen reader says for the arrow that leads to the previous screen.</extracomment>
        <translation>Retour</translation>
    </message>
</context>
<context>
    <name>HomeScreen</name>
    <message>
        <source>Start</source>
        <extracomment>The button that leads into the steps; keep it short.</extracomment>
        <translation>Lancer</translation>
    </message>
</context>
<context>
    <name>StepFour</name>
    <message>
        <source>The USB cable unplugged from Lumetra after the computer ejected its drive</source>
        <translation>Le câble USB débranché de Lumetra après que l’ordinateur a éjecté son lecteur</translation>
    </message>
    <message>
        <source>Eject Lumetra&apos;s drive by hand.</source>
        <extracomment>Step four&apos;s title when the computer could not eject the unit&apos;s drive.</extracomment>
        <translation>Éjectez vous-même le lecteur de Lumetra.</translation>
    </message>
    <message>
        <source>The firmware is updated, but the computer could not eject Lumetra&apos;s drive.</source>
        <extracomment>Step four after a good update whose drive the computer could not eject.</extracomment>
        <translation>Le firmware est mis à jour, mais l’ordinateur n’a pas pu éjecter le lecteur de Lumetra.</translation>
    </message>
    <message>
        <source>Lumetra already has this firmware, but the computer could not eject its drive.</source>
        <extracomment>Step four for a unit that needed no update and whose drive the computer could not eject.</extracomment>
        <translation>Lumetra a déjà ce firmware, mais l’ordinateur n’a pas pu éjecter son lecteur.</translation>
    </message>
    <message>
        <source>Lumetra already has this firmware: unplug the USB cable from Lumetra.</source>
        <extracomment>Step four for a unit that needed no update, its drive ejected.</extracomment>
        <translation>Lumetra a déjà ce firmware&#xa0;: débranchez le câble USB de Lumetra.</translation>
    </message>
    <message>
        <source>Eject the drive yourself (&apos;Safely Remove&apos; or &apos;Eject&apos;), then unplug the USB cable.</source>
        <extracomment>Step four: how to eject a drive by hand. Use the names your system gives these commands (&apos;Safely Remove Hardware&apos; on Windows, &apos;Eject&apos; in file managers).</extracomment>
        <translation>Éjectez vous-même le lecteur («&#xa0;Retirer en toute sécurité&#xa0;» ou «&#xa0;Éjecter&#xa0;»), puis débranchez le câble USB.</translation>
    </message>
    <message>
        <source>Another program is using the drive.</source>
        <extracomment>Step four, why the drive was not ejected: the system found it busy.</extracomment>
        <translation>Un autre programme utilise le lecteur.</translation>
    </message>
    <message>
        <source>The drive was not found.</source>
        <extracomment>Step four, why the drive was not ejected: no device connected to the computer carries it.</extracomment>
        <translation>Le lecteur est introuvable.</translation>
    </message>
    <message>
        <source>The drive was not found, or another program is using it.</source>
        <extracomment>Step four, why the drive was not ejected: it was gone from the computer, or another LumetraInstaller held it.</extracomment>
        <translation>Le lecteur est introuvable, ou un autre programme l’utilise.</translation>
    </message>
    <message>
        <source>The system refused to eject it.</source>
        <extracomment>Step four, why the drive was not ejected, for any other refusal.</extracomment>
        <translation>Le système a refusé de l’éjecter.</translation>
    </message>
</context>
<context>
    <name>StepOne</name>
    <message>
        <source>Lumetra switched off, its power plug pulled from the wall socket</source>
        <translation>Lumetra éteint, sa fiche retirée de la prise murale</translation>
    </message>
</context>
<context>
    <name>StepThree</name>
    <message>
        <source>Update</source>
        <extracomment>The button that starts the firmware update; keep it short.</extracomment>
        <translation>Mettre à&#xa0;jour</translation>
    </message>
    <message>
        <source>Updating</source>
        <extracomment>The update button&apos;s label while the firmware is being copied; keep it short.</extracomment>
        <translation>En cours</translation>
    </message>
    <message>
        <source>Lumetra detected: the computer shows its drive with a check mark</source>
        <translation>Lumetra détecté&#xa0;: l’ordinateur affiche son lecteur avec une coche</translation>
    </message>
    <message>
        <source>Lumetra not detected: the computer shows a cross instead of its drive</source>
        <translation>Lumetra non détecté&#xa0;: l’ordinateur affiche une croix à la place de son lecteur</translation>
    </message>
    <message>
        <source>Lumetra was not detected</source>
        <translation>Lumetra n’a pas été détecté</translation>
    </message>
    <message>
        <source>The update failed: Lumetra&apos;s drive is full.</source>
        <extracomment>Step three, after a failed update: the unit&apos;s drive had no room for the firmware.</extracomment>
        <translation>La mise à jour a échoué&#xa0;: le lecteur de Lumetra est plein.</translation>
    </message>
    <message>
        <source>The update failed: Lumetra&apos;s drive is read-only.</source>
        <extracomment>Step three, after a failed update: the system would not let us write to the drive.</extracomment>
        <translation>La mise à jour a échoué&#xa0;: le lecteur de Lumetra est en lecture seule.</translation>
    </message>
    <message>
        <source>The update failed: Lumetra&apos;s drive was disconnected.</source>
        <extracomment>Step three, after a failed update: the drive went away during the update.</extracomment>
        <translation>La mise à jour a échoué&#xa0;: le lecteur de Lumetra a été déconnecté.</translation>
    </message>
    <message>
        <source>The update failed: the firmware read back from the drive was wrong.</source>
        <extracomment>Step three, after a failed update: the firmware read back from the drive was not the one written.</extracomment>
        <translation>La mise à jour a échoué&#xa0;: le firmware relu sur le lecteur était incorrect.</translation>
    </message>
    <message>
        <source>The update failed: Lumetra&apos;s version file could not be written.</source>
        <extracomment>Step three, after a failed update: the file that holds the unit&apos;s version number.</extracomment>
        <translation>La mise à jour a échoué&#xa0;: le fichier de version de Lumetra n’a pas pu être écrit.</translation>
    </message>
    <message>
        <source>Another LumetraInstaller is updating this Lumetra. Try again when it has finished.</source>
        <extracomment>Step three: another copy of this program (a window or the command line) updates the unit now.</extracomment>
        <translation>Un autre LumetraInstaller met à jour ce Lumetra. Réessayez lorsqu’il aura terminé.</translation>
    </message>
    <message>
        <source>The update failed.</source>
        <extracomment>Step three, after a failed update, for any reason without a line of its own.</extracomment>
        <translation>La mise à jour a échoué.</translation>
    </message>
    <message>
        <source>Lumetra detected</source>
        <extracomment>Step three&apos;s word to a screen reader that the unit is there and ready.</extracomment>
        <translation>Lumetra détecté</translation>
    </message>
    <message>
        <source>Updating Lumetra</source>
        <extracomment>What a screen reader calls the popup with the progress bar.</extracomment>
        <translation>Mise à jour de Lumetra</translation>
    </message>
    <message>
        <source>The update failed: this program&apos;s firmware is damaged. Download the program again.</source>
        <extracomment>Step three, after a failed update: the firmware carried inside this program is not what was built into it (a damaged download); nothing was written to the unit.</extracomment>
        <translation>La mise à jour a échoué&#xa0;: le firmware contenu dans ce programme est endommagé. Téléchargez de nouveau le programme.</translation>
    </message>
</context>
<context>
    <name>StepTwo</name>
    <message>
        <source>A USB cable from a computer plugged into Lumetra</source>
        <translation>Un câble USB reliant un ordinateur à Lumetra</translation>
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
        <translation>Unité de post-traitement automatisée</translation>
    </message>
    <message>
        <source>Update Tool</source>
        <extracomment>What this program is, a headline on the first screen.</extracomment>
        <translation>Outil de mise à jour</translation>
    </message>
    <message>
        <source>Version %1</source>
        <extracomment>%1 is the firmware version this program carries, such as 1.73.</extracomment>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>Step</source>
        <extracomment>Header of each step screen; the screen adds a space and the step&apos;s number (Step 1).</extracomment>
        <translation>Étape</translation>
    </message>
    <message>
        <source>Disconnect Lumetra from power.</source>
        <extracomment>Title of step 1; the unit must be cut off from mains power.</extracomment>
        <translation>Débranchez Lumetra du secteur.</translation>
    </message>
    <message>
        <source>Begin by switching Lumetra&apos;s power to the &apos;off&apos; position.</source>
        <extracomment>The unit&apos;s power switch.</extracomment>
        <translation>Commencez par mettre l’interrupteur de Lumetra sur «&#xa0;arrêt&#xa0;».</translation>
    </message>
    <message>
        <source>Next, unplug Lumetra from its power source.</source>
        <translation>Ensuite, débranchez Lumetra de sa source d’alimentation.</translation>
    </message>
    <message>
        <source>Lumetra must be unplugged from power in order to update successfully.</source>
        <translation>Pour réussir la mise à jour, Lumetra doit être débranché du secteur.</translation>
    </message>
    <message>
        <source>Connect your computer to Lumetra via USB.</source>
        <translation>Reliez votre ordinateur à Lumetra par USB.</translation>
    </message>
    <message>
        <source>After Lumetra has been disconnected from power, use the provided USB cable to connect your computer to Lumetra.</source>
        <translation>Une fois Lumetra débranché du secteur, reliez votre ordinateur à Lumetra avec le câble USB fourni.</translation>
    </message>
    <message>
        <source>Begin Lumetra update.</source>
        <translation>Lancez la mise à jour de Lumetra.</translation>
    </message>
    <message>
        <source>Now that Lumetra has been unplugged from power and connected to your computer, it is ready to receive updates.</source>
        <translation>Lumetra étant maintenant débranché du secteur et relié à votre ordinateur, il est prêt à recevoir des mises à jour.</translation>
    </message>
    <message>
        <source>Press the &apos;update&apos; button to begin the process.</source>
        <extracomment>Names the button that starts the update: use its translated label (&quot;Update&quot; in StepThree).</extracomment>
        <translation>Appuyez sur le bouton «&#xa0;Mettre à jour&#xa0;» pour commencer.</translation>
    </message>
    <message>
        <source>Do not unplug the USB cable from your computer or Lumetra during the update</source>
        <translation>Pendant la mise à jour, laissez le câble USB branché à l’ordinateur et à Lumetra</translation>
    </message>
    <message>
        <source>Unplug USB cable from Lumetra.</source>
        <translation>Débranchez le câble USB de Lumetra.</translation>
    </message>
    <message>
        <source>To finalize the update, unplug the USB cable from Lumetra</source>
        <translation>Pour terminer la mise à jour, débranchez le câble USB de Lumetra</translation>
    </message>
    <message>
        <source>Do not reconnect Lumetra to power until you have removed the USB cable.</source>
        <translation>Ne rebranchez Lumetra sur le secteur qu’après avoir retiré le câble USB.</translation>
    </message>
    <message>
        <source>The update is complete!</source>
        <extracomment>Title of the last screen.</extracomment>
        <translation>La mise à jour est terminée&#x202f;!</translation>
    </message>
    <message>
        <source>You can now reconnect Lumetra to power and switch it back on.</source>
        <translation>Vous pouvez maintenant rebrancher Lumetra sur le secteur et le rallumer.</translation>
    </message>
    <message>
        <source>Note that Lumetra may take a few seconds to restart.</source>
        <translation>Notez que le redémarrage de Lumetra peut prendre quelques secondes.</translation>
    </message>
    <message>
        <source>Lumetra update is completed</source>
        <extracomment>Title of the screen for a unit that already has this firmware.</extracomment>
        <translation>Mise à jour de Lumetra terminée</translation>
    </message>
    <message>
        <source>Lumetra now holds an incomplete firmware: keep it connected and try again.</source>
        <extracomment>Step three&apos;s line after a failed update that began to overwrite the old firmware.</extracomment>
        <translation>Lumetra contient maintenant un firmware incomplet&#xa0;: laissez-le connecté et réessayez.</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <extracomment>A screen&apos;s name for a screen reader: %1 is its header (Step 3, or the version line of the up-to-date screen), %2 its title.</extracomment>
        <translation>%1&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>UpToDateScreen</name>
    <message>
        <source>Your Lumetra is already on version %1</source>
        <extracomment>%1 is the firmware version found on the unit, such as 1.73.</extracomment>
        <translation>Votre Lumetra est déjà en version %1</translation>
    </message>
    <message>
        <source>Your Lumetra has already received the update included in this installer. Press &apos;Finish&apos; and restart your Lumetra to resume service. If you suspect that your Lumetra is not up to date, visit %1 to download the latest version of this installation wizard.</source>
        <extracomment>%1 is the maker&apos;s software page. &apos;Finish&apos; names this screen&apos;s button: use its translated label.</extracomment>
        <translation>Votre Lumetra a déjà reçu la mise à jour incluse dans ce programme. Appuyez sur «&#xa0;Fermer&#xa0;» et redémarrez votre Lumetra pour le remettre en service. Si vous pensez qu’il n’est pas à jour, téléchargez la dernière version de cet assistant sur %1.</translation>
    </message>
    <message>
        <source>Finish</source>
        <extracomment>The button that ends the program; keep it short.</extracomment>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Lumetra plugged into power again, with a check mark</source>
        <translation>Lumetra rebranché sur le secteur, avec une coche</translation>
    </message>
</context>
<context>
    <name>WorkProgressBar</name>
    <message>
        <source>Update progress</source>
        <translation>Progression de la mise à jour</translation>
    </message>
    <message>
        <source>%1 %</source>
        <extracomment>The progress in percent, for a screen reader; %1 is a number from 0 to 100.</extracomment>
        <translation>%1&#xa0;%</translation>
    </message>
</context>
</TS>
