package javalauncher.packer;

import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;

/** Everything the command line asked for, checked for form but not yet against the disk. */
public final class PackOptions {
    public boolean help;
    public String name;
    public final List<Path> jars = new ArrayList<>();
    public String mainClass;
    public Path icon;
    public int[] version = {1, 0, 0, 0};
    public String company;
    public String description;
    public Path runtime;
    public boolean allow64Bit;
    /** Ship the console launchers: the program's streams and exit code are the shell's. */
    public boolean console;
    public final List<Setting> settings = new ArrayList<>();
    public Path baseSettings;
    public String upgradeCode;
    public Path signingKey;
    public String passwordVariable;
    /** The key's password given by a library caller; never from the command line. */
    public String password;
    public String timestampUrl;
    public Path signingCa;
    public Path out;
    /** The installer to build of the pack; null for none. */
    public Path msi;
    /** Where to keep the installer's WiX source; with no msi, the source alone is written. */
    public Path msiWxs;
    WixSource.Scope msiScope = WixSource.Scope.USER;
    public boolean msiRemoveUserSettings;
    final List<WixSource.Association> fileAssociations = new ArrayList<>();
    /** Set when the packer made the upgrade code up, so that it says to keep it. */
    boolean upgradeCodeGenerated;
}
