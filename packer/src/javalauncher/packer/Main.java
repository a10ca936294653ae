package javalauncher.packer;

import java.io.UncheckedIOException;
import java.util.List;

/** java -jar javalauncher-pack.jar ...: see HelpText. */
public final class Main {
    static final int PACKED = 0;
    static final int FAILED = 1;
    static final int USAGE = 2;

    private Main() {}

    public static void main(String[] args) {
        System.exit(run(args));
    }

    static int run(String[] args) {
        if (args.length == 0) {
            System.err.print(HelpText.TEXT);
            return USAGE;
        }
        try {
            PackOptions options = OptionParser.parse(List.of(args));
            if (options.help) {
                System.out.print(HelpText.TEXT);
                return PACKED;
            }
            Packer.pack(options);
            System.out.println("packed " + options.name + " into " + options.out);
            if (options.msi != null) {
                System.out.println("built the installer " + options.msi + " (version "
                        + WixSource.msiVersion(options.version) + ", upgrade code "
                        + options.upgradeCode + ")");
            } else if (options.msiWxs != null) {
                System.out.println("wrote the installer's WiX source " + options.msiWxs);
            }
            return PACKED;
        } catch (UsageException e) {
            System.err.println("javalauncher-pack: " + e.getMessage());
            return USAGE;
        } catch (PackException e) {
            System.err.println("javalauncher-pack: " + e.getMessage());
            return FAILED;
        } catch (UncheckedIOException e) {
            // From a walk of a folder tree, where the direction is not known.
            System.err.println("javalauncher-pack: " + IoMessages.describe(e.getCause()));
            return FAILED;
        } catch (RuntimeException | OutOfMemoryError e) {
            // A fault of the packer itself: say so plainly rather than dump a trace.
            System.err.println("javalauncher-pack: internal error: " + e);
            return FAILED;
        }
    }
}
