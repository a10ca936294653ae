package javalauncher.maven;

import java.io.File;
import java.util.ArrayList;
import java.util.List;
import java.util.function.Function;
import java.util.regex.Matcher;
import java.util.regex.Pattern;
import java.util.stream.Collectors;
import javalauncher.packer.PackException;
import javalauncher.packer.PackRequest;
import javalauncher.packer.Packer;
import org.apache.maven.artifact.Artifact;
import org.apache.maven.plugin.AbstractMojo;
import org.apache.maven.plugin.MojoFailureException;
import org.apache.maven.plugins.annotations.Component;
import org.apache.maven.plugins.annotations.LifecyclePhase;
import org.apache.maven.plugins.annotations.Mojo;
import org.apache.maven.plugins.annotations.Parameter;
import org.apache.maven.plugins.annotations.ResolutionScope;
import org.apache.maven.project.MavenProject;
import org.apache.maven.settings.Server;
import org.apache.maven.settings.Settings;
import org.apache.maven.settings.crypto.DefaultSettingsDecryptionRequest;
import org.apache.maven.settings.crypto.SettingsDecrypter;

/**
 * Packs the project's jar and its runtime dependencies into a Windows application folder. The
 * parameters are the packer's command-line options (see {@code java -jar javalauncher-pack.jar
 * --help}); everything is checked and done by the packer, whose messages fail the build.
 */
@Mojo(name = "pack", defaultPhase = LifecyclePhase.PACKAGE,
        requiresDependencyResolution = ResolutionScope.RUNTIME, threadSafe = true)
public class PackMojo extends AbstractMojo {
    // The dotted numbers a Maven version starts with; see fileVersion.
    private static final Pattern LEADING_NUMBERS = Pattern.compile("^[0-9]+(\\.[0-9]+)*");

    @Parameter(defaultValue = "${project}", readonly = true, required = true)
    MavenProject project;

    @Parameter(defaultValue = "${settings}", readonly = true)
    Settings mavenSettings;

    @Component
    SettingsDecrypter decrypter;

    /** --name: the executables' name; MyApp gives MyApp.exe and MyApp64.exe. */
    @Parameter(property = "javalauncher.name", defaultValue = "${project.artifactId}")
    String name;

    /** --jar for each: by default the project's jar and then its runtime dependencies. */
    @Parameter
    List<File> jars;

    /** --main-class; by default the project jar's manifest names it. */
    @Parameter(property = "javalauncher.mainClass")
    String mainClass;

    /** --icon: a Windows .ico file. */
    @Parameter(property = "javalauncher.icon")
    File icon;

    /** --version: the project's version as a Windows file version (see fileVersion). */
    @Parameter(property = "javalauncher.version", defaultValue = "${project.version}")
    String version;

    /** --company. */
    @Parameter(property = "javalauncher.company", defaultValue = "${project.organization.name}")
    String company;

    /** --description; by default the name. */
    @Parameter(property = "javalauncher.description")
    String description;

    /** --runtime: a Windows Java runtime folder to bundle. */
    @Parameter(property = "javalauncher.runtime")
    File runtime;

    /** --64-bit. */
    @Parameter(property = "javalauncher.allow64Bit", defaultValue = "false")
    boolean allow64Bit;

    /** --console: the console executables, for a command-line program. */
    @Parameter(property = "javalauncher.console", defaultValue = "false")
    boolean console;

    /** --setting for each "Section/Key=Value". */
    @Parameter
    List<String> settings;

    /** --base-settings. */
    @Parameter(property = "javalauncher.baseSettings")
    File baseSettings;

    /** --upgrade-code. */
    @Parameter(property = "javalauncher.upgradeCode")
    String upgradeCode;

    /** --sign: the PKCS#12 key to sign the executables with. */
    @Parameter(property = "javalauncher.sign")
    File sign;

    /** --password-env: the environment variable holding the key's password. */
    @Parameter(property = "javalauncher.passwordEnv")
    String passwordEnv;

    /** Or the id of a server in Maven's settings whose password is the key's password. */
    @Parameter(property = "javalauncher.passwordServer")
    String passwordServer;

    /** --timestamp-url. */
    @Parameter(property = "javalauncher.timestampUrl")
    String timestampUrl;

    /** --sign-ca. */
    @Parameter(property = "javalauncher.signCa")
    File signCa;

    /** --out; by default a folder of the name under the build directory (target/NAME). */
    @Parameter(property = "javalauncher.out")
    File out;

    /** --msi: an installer of the pack to build as well (needs wixl on the PATH). */
    @Parameter(property = "javalauncher.msi")
    File msi;

    /** --msi-wxs: where to keep the installer's WiX source. */
    @Parameter(property = "javalauncher.msiWxs")
    File msiWxs;

    /** --msi-scope: user (the default) or machine. */
    @Parameter(property = "javalauncher.msiScope")
    String msiScope;

    /** --file-association, one entry per file type: ".ext=Description". */
    @Parameter
    List<String> fileAssociations;

    /** --msi-remove-user-settings. */
    @Parameter(property = "javalauncher.msiRemoveUserSettings", defaultValue = "false")
    boolean msiRemoveUserSettings;

    /** Leaves the pack out of this build. */
    @Parameter(property = "javalauncher.skip", defaultValue = "false")
    boolean skip;

    @Override
    public void execute() throws MojoFailureException {
        if (skip) {
            getLog().info("javalauncher: skipped");
            return;
        }
        List<File> dependencies = new ArrayList<>();
        for (Artifact artifact : project.getArtifacts()) {
            if (artifact.getArtifactHandler().isAddedToClasspath() && artifact.getFile() != null) {
                dependencies.add(artifact.getFile());
            }
        }
        PackRequest request = request(project.getArtifact().getFile(), dependencies,
                new File(project.getBuild().getDirectory()), this::serverPassword);
        getLog().info("javalauncher: packing " + request.name() + " into " + request.out());
        getLog().info("javalauncher: as java -jar javalauncher-pack.jar "
                + request.arguments().stream().map(PackMojo::quoted)
                        .collect(Collectors.joining(" ")));
        try {
            Packer.pack(request, note -> getLog().warn("javalauncher: " + note));
        } catch (PackException e) {
            throw new MojoFailureException(e.getMessage(), e);
        }
        getLog().info("javalauncher: packed " + request.name() + " into " + request.out());
    }

    /** The packer's request for these parameters; its checks' messages fail the build. */
    PackRequest request(File projectJar, List<File> dependencies, File buildDirectory,
            Function<String, String> serverPasswords) throws MojoFailureException {
        PackRequest.Builder builder = PackRequest.builder().name(name);
        if (jars != null && !jars.isEmpty()) {
            jars.forEach(jar -> builder.jar(jar.toPath()));
        } else {
            if (projectJar == null || !projectJar.isFile()) {
                throw new MojoFailureException("the project's jar is not built yet: run the goal"
                        + " in the package phase (mvn package), or list the jars in <jars>");
            }
            builder.jar(projectJar.toPath());
            dependencies.forEach(jar -> builder.jar(jar.toPath()));
        }
        if (settings != null) settings.forEach(builder::setting);
        if (passwordServer != null) {
            String password = serverPasswords.apply(passwordServer);
            if (password == null) {
                throw new MojoFailureException("passwordServer \"" + passwordServer + "\": Maven's"
                        + " settings (settings.xml) have no <server> of that id with a <password>");
            }
            builder.signingPassword(password);
        }
        builder.mainClass(mainClass).icon(path(icon)).version(fileVersion(version))
                .company(company).description(description).runtime(path(runtime))
                .allow64Bit(allow64Bit).console(console).baseSettings(path(baseSettings)).upgradeCode(upgradeCode)
                .sign(path(sign)).passwordEnv(passwordEnv).timestampUrl(timestampUrl)
                .signCa(path(signCa))
                .out(out != null ? out.toPath() : buildDirectory.toPath().resolve(name))
                .msi(path(msi)).msiWxs(path(msiWxs)).msiScope(msiScope)
                .msiRemoveUserSettings(msiRemoveUserSettings);
        if (fileAssociations != null) fileAssociations.forEach(builder::fileAssociation);
        try {
            return builder.build();
        } catch (PackException e) {
            throw new MojoFailureException(e.getMessage(), e);
        }
    }

    /**
     * A Windows file version holds four numbers, so a Maven version gives the dotted numbers it
     * starts with and drops what follows: 1.2.3-SNAPSHOT gives 1.2.3 (1.2.3.0), 2.0-beta-1 gives
     * 2.0, 1.2.3.4 stays. A version with more than four numbers, or none, needs an explicit
     * {@code <version>}; the packer checks each number is at most 65535.
     */
    static String fileVersion(String mavenVersion) throws MojoFailureException {
        if (mavenVersion == null) return null;
        Matcher numbers = LEADING_NUMBERS.matcher(mavenVersion);
        if (!numbers.find()) {
            throw new MojoFailureException("version \"" + mavenVersion + "\" does not start with"
                    + " a number, so it gives no Windows file version; set one in the plugin's"
                    + " <version>, e.g. <version>1.2.3</version>");
        }
        String fileVersion = numbers.group();
        if (fileVersion.split("\\.").length > 4) {
            throw new MojoFailureException("version \"" + mavenVersion + "\" has more than the"
                    + " four numbers of a Windows file version; set four in the plugin's"
                    + " <version>, e.g. <version>1.2.3.4</version>");
        }
        return fileVersion;
    }

    private String serverPassword(String id) {
        Server server = mavenSettings == null ? null : mavenSettings.getServer(id);
        if (server == null) return null;
        // Decrypts a password encrypted with "mvn --encrypt-password"; plain ones pass through.
        return decrypter.decrypt(new DefaultSettingsDecryptionRequest(server)).getServer()
                .getPassword();
    }

    private static java.nio.file.Path path(File file) {
        return file == null ? null : file.toPath();
    }

    private static String quoted(String argument) {
        return argument.matches("[\\w./:=+,@{}\\\\-]+") ? argument
                : "'" + argument.replace("'", "'\\''") + "'";
    }
}
