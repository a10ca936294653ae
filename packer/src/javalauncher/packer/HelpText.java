package javalauncher.packer;

import java.util.List;

/** The --help text, built from one table so every option comes with its example. */
final class HelpText {
    /** One option: its argument, what it does (lines), and an example command-line piece. */
    private static final class Option {
        final String name;
        final String argument;
        final List<String> description;
        final String example;

        Option(String name, String argument, String example, String... description) {
            this.name = name;
            this.argument = argument;
            this.example = example;
            this.description = List.of(description);
        }
    }

    private static final String INDENT = "      ";

    private static final List<Object> SECTIONS = List.of(
            "Required:",
            new Option("--name", "NAME", "--name MyApp",
                    "the application's name: file names and product name"),
            new Option("--jar", "FILE", "--jar build/libs/app.jar --jar lib/dependency.jar",
                    "a jar to ship in lib\\ (repeat for more); together they form the",
                    "class path"),
            new Option("--out", "DIR", "--out dist/MyApp",
                    "the folder to create. Packing again into it replaces or removes only",
                    "the files the last pack wrote (listed in javalauncher-pack-files.txt)",
                    "and keeps everything else, such as the application's logs; a folder",
                    "without that list must be new or empty"),
            "Application:",
            new Option("--main-class", "CLASS", "--main-class com.example.Main",
                    "the class whose main method runs; default: the Main-Class of the",
                    "first jar's manifest"),
            new Option("--runtime", "DIR", "--runtime /opt/jdk-17-windows-x64",
                    "a Windows Java runtime (holding bin\\java.dll) to copy to jre\\;",
                    "a 64-bit one makes NAME.exe hand over to NAME64.exe"),
            new Option("--64-bit", null, "--64-bit",
                    "let NAME.exe hand over to NAME64.exe when the runtime it finds is",
                    "a 64-bit one (sets \"Pair Product\" and \"Override WorkingDir\")"),
            new Option("--console", null, "--console",
                    "ship the console launchers, for a command-line tool: the program's",
                    "output, input and exit code are the shell's and the launcher's",
                    "messages go to standard error (without it, the GUI launchers: no",
                    "console, messages in boxes)"),
            new Option("--setting", "SECTION/KEY=VALUE",
                    "--setting \"Application/Failure Check=Yes\"",
                    "an entry of both settings files; wins over what the packer writes",
                    "and over the base settings (repeat for more)"),
            new Option("--base-settings", "FILE", "--base-settings base.ini",
                    "an INI file (UTF-8, or UTF-16 with byte-order mark) built into both",
                    "executables as the base layer under their settings files; a key",
                    "it sets is left out of the settings files unless given with",
                    "--setting or --main-class; needs --upgrade-code"),
            new Option("--upgrade-code", "GUID",
                    "--upgrade-code {3F2504E0-4F89-11D3-9A0C-0305E82C3301}",
                    "the product's upgrade code, which names the base settings; keep it",
                    "for every release"),
            "Branding (Explorer shows these):",
            new Option("--icon", "FILE", "--icon src/main/app.ico",
                    "a .ico file; all of its sizes go into both executables"),
            new Option("--version", "V", "--version 1.2.3.4",
                    "file and product version, up to four numbers (default 1.0.0.0)"),
            new Option("--company", "TEXT", "--company \"Example Ltd\"", "the company name"),
            new Option("--description", "TEXT", "--description \"Example editor\"",
                    "the file description (default: NAME)"),
            "Signing (needs osslsigncode on the PATH):",
            new Option("--sign", "FILE", "--sign signing.pfx --password-env SIGN_PASSWORD",
                    "sign both executables with this PKCS#12 key and certificate, then",
                    "verify the signatures"),
            new Option("--password-env", "VAR", "--password-env SIGN_PASSWORD",
                    "the environment variable holding the key's password (leave it out",
                    "for a key without one); it reaches osslsigncode through a pipe"),
            new Option("--timestamp-url", "URL", "--timestamp-url http://timestamp.example.com",
                    "an RFC 3161 time-stamp server, so the signature outlives the",
                    "certificate"),
            new Option("--sign-ca", "FILE", "--sign-ca company-root.pem",
                    "PEM certificates to verify the signature against, for a self-signed",
                    "certificate or a private CA (default: the system's CA list)"),
            "Installer (needs wixl on the PATH; Debian/Ubuntu package wixl):",
            new Option("--msi", "FILE", "--msi dist/MyApp-1.2.3.msi",
                    "also build a Windows Installer package of the pack: a Start-menu",
                    "shortcut, an entry in Apps & features, and a major upgrade of every",
                    "earlier version. Its version is the first three numbers of --version;",
                    "it is signed too with --sign. Give the same --upgrade-code to every",
                    "release (one is made up and printed when missing)"),
            new Option("--msi-scope", "user|machine", "--msi-scope machine",
                    "user (default): installs under %LOCALAPPDATA%\\Programs\\NAME without",
                    "elevation; machine: under Program Files (the 64-bit one when the",
                    "runtime is 64-bit) for every user. msiexec's INSTALLDIR=... changes",
                    "the folder"),
            new Option("--file-association", ".EXT=TEXT", "--file-association \".myd=My document\"",
                    "the installed application opens .EXT files (repeat for more)"),
            new Option("--msi-remove-user-settings", null, "--msi-remove-user-settings",
                    "the uninstall also removes the settings files the launcher wrote for",
                    "the uninstalling user (the JRE folder chosen); kept by default"),
            new Option("--msi-wxs", "FILE", "--msi-wxs dist/MyApp.wxs",
                    "keep the installer's WiX source, to edit and build with wixl; without",
                    "--msi only the source is written"),
            "Other:",
            new Option("--help", null, "--help", "this text"));

    private HelpText() {}

    static String exampleOf(String name) {
        for (Object entry : SECTIONS) {
            if (entry instanceof Option && ((Option) entry).name.equals(name)) {
                return ((Option) entry).example;
            }
        }
        return name + " <value>";
    }

    static final String TEXT = render();

    private static String render() {
        StringBuilder text = new StringBuilder(String.join("\n",
                "usage: java -jar javalauncher-pack.jar --name NAME --jar FILE [--jar FILE]...",
                "                                       --out DIR [options]",
                "",
                "Packs a Java application into a folder that runs on Windows: NAME.exe (32-bit",
                "launcher), NAME64.exe (64-bit launcher), their settings files NAME.ini and",
                "NAME64.ini, the jars under lib\\ and, with --runtime, a Java runtime under jre\\.",
                "The executables carry the application's icon, version information and, with",
                "--base-settings, a base settings text. Nothing is written to --out unless the",
                "whole pack succeeds; an interrupted pack is undone, at the latest by the next",
                "pack into the same --out.",
                ""));
        for (Object entry : SECTIONS) {
            if (entry instanceof String) {
                text.append('\n').append(entry).append('\n');
                continue;
            }
            Option option = (Option) entry;
            String head = option.argument == null ? option.name
                                                   : option.name + " " + option.argument;
            text.append("  ").append(head).append('\n');
            for (String line : option.description) {
                text.append(INDENT).append(line).append('\n');
            }
            text.append(INDENT).append("e.g. ").append(option.example).append('\n');
        }
        text.append(String.join("\n",
                "",
                "Example:",
                "  java -jar javalauncher-pack.jar --name MyApp --jar app.jar --icon app.ico \\",
                "      --version 1.2.3.4 --company \"Example Ltd\" --out dist/MyApp",
                "",
                "Exit status: 0 packed, 1 the pack failed, 2 the command line is wrong.",
                ""));
        return text.toString();
    }
}
